// Two-player Reversi on Tabula. Usage: reversi [--shots DIR] [--trace-pointer]
// Click a marked square, or move the focus with the arrow keys and press
// Enter. Keys: n new game, c screenshot (written to DIR, "." by default).
// Every event is one line on the standard output, so a script can follow:
//   "window 0x…"            the X window, at the first frame
//   "squares a1:X:Y …"      every square's centre in the window, camera settled
//   "move d3 flips d4"      a move and the discs it turned
//   "score Black 4 White 1" after every move and at a new game
//   "pass White"            White has no move; the other side plays again
//   "turn White"            the side to move
//   "game over Black 40 White 24", "illegal a1", "new game",
//   "say d3, empty"         what keyboard play announces
//   "screenshot PATH", "hover c3" (with --trace-pointer)
#include <iostream>
#include <sstream>
#include <string>

#include <GL/glx.h>

#include <Core/Board.h>
#include <Core/Grid.h>
#include <Core/Object.h>
#include <Core/Square.h>
#include <Rendering/HUDText.h>
#include <Rendering/Look.h>
#include <Rendering/Render.h>
#include <common/GameOptions.h>
#include <rules/Position.h>

namespace
{

using Reversi::Cell;
using Reversi::Disc;
using Reversi::Position;

void say(const std::string& line)
{
    std::cout << line << std::endl;
}

// A name a drawable shows by its metadata that the game may change: a disc
// keeps its square for the whole game, so the label of a square's disc is
// made once and retold when the disc turns over.
class Label : public Core::Meta<std::string>
{
public:
    Label() : Core::Meta<std::string>("name", "") {}
    void set(const std::string& value) { m_Value = value; }
};

class Game
{
public:
    Game(const std::string& assetDir, const std::string& shotDir, bool traceHover)
        : m_Disc(assetDir + "/disc.gltf"), m_ShotDir(shotDir), m_TraceHover(traceHover)
    {
        // Textured squares, since only those show the marks of legal moves.
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                m_Grid.getSquare(x, y)->setTexture(assetDir + "/felt.png");
        board()->setColor(Vec4<double>(0.25, 0.16, 0.09, 1));
        board()->setAutoHighlight(true);
        m_Score.setPosition(10, 10);
        m_Help.setPosition(10, 28);
        m_Help.setColor(Vec3<double>(0.75, 0.75, 0.75));
        m_Help.setText("Click a marked square, or arrows and Enter.  n: new game  c: screenshot");

        Rendering::Render* render = Rendering::Render::instance();
        render->setParams("Tabula Reversi", Vec3<double>(1, 1, 1), board());
        render->setLook(Rendering::Look::modern());
        render->getHUDs().push_back(&m_Score);
        render->getHUDs().push_back(&m_Help);
        render->onClick([this](Core::Square* square) { play(square); });
        render->onKey([this](unsigned char key, int, int) { onKey(key); });
        render->onFrame([this](double) { onFrame(); });
        render->setKeyboardPlay(true);
        render->setAnnouncer([](const std::string& text) { say("say " + text); });
        // Swings from the start-up view to the whole board seen from Black's side.
        render->frameBoard(0.0, 1.0, 0.12, 1.2);
        newGame();
    }

private:
    Core::Board* board() { return m_Grid.getBoard(); }
    Core::Square* square(Cell cell) { return m_Grid.getSquare(cell.x, cell.y); }

    void newGame()
    {
        board()->finishAnimations();
        m_Position = Position();
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
            {
                Core::Square* place = square(Cell{x, y});
                while (!place->getObjects().empty())
                {
                    Core::Object* disc = place->getObjects().back();
                    place->popObject(disc);
                    delete disc;
                }
                if (m_Position.at(Cell{x, y}) != Disc::Empty)
                    addDisc(Cell{x, y}, m_Position.at(Cell{x, y}));
            }
        report("");
    }

    // A new disc: Black shows the model's black face up, White is the same
    // model upside down.
    void addDisc(Cell cell, Disc side)
    {
        auto* disc = new Core::Object(Core::Object::ObjectAlignment(), m_Disc);
        if (side == Disc::White)
            disc->setOrientation(Quat<double>(1, 0, 0, 0)); // half a turn about x
        m_DiscNames[cell.y][cell.x].set(Position::sideName(side) + " disc");
        disc->addMeta(&m_DiscNames[cell.y][cell.x]);
        square(cell)->pushObject(disc);
    }

    void play(Core::Square* clicked)
    {
        const Cell cell{static_cast<int>(clicked->getLower().x()), static_cast<int>(clicked->getLower().y())};
        Reversi::Played played;
        const Disc mover = m_Position.toMove();
        if (!m_Position.play(cell, &played))
        {
            say("illegal " + cell.name());
            return;
        }
        addDisc(cell, mover);
        std::string line = "move " + cell.name() + " flips";
        Core::MoveAnimation::Style flip;
        flip.m_Path = Core::MoveAnimation::HOP;
        flip.m_HopHeight = 0.6;
        flip.m_Flip = true;
        for (const Cell& turned : played.m_Flipped)
        {
            Core::Object* disc = square(turned)->getObjects().front();
            m_DiscNames[turned.y][turned.x].set(Position::sideName(mover) + " disc");
            board()->animateObject(disc, {square(turned), square(turned)}, flip);
            line += " " + turned.name();
        }
        say(line);
        report(played.m_Passed ? "pass " + Position::sideName(Position::opponent(mover)) : "");
    }

    // Marks the legal moves and tells the score and whose turn it is.
    void report(const std::string& pass)
    {
        for (Core::Square* place : board()->getSquares())
            place->highlightAuthorized(false);
        for (const Cell& legal : m_Position.legalMoves())
            square(legal)->highlightAuthorized(true);
        const int black = m_Position.count(Disc::Black), white = m_Position.count(Disc::White);
        const std::string score = "Black " + std::to_string(black) + " White " + std::to_string(white);
        say("score " + score);
        if (!pass.empty())
            say(pass);
        if (m_Position.isOver())
        {
            say("game over " + score);
            m_Score.setText("Game over: " +
                            std::string(black == white  ? "a draw"
                                        : black > white ? "Black wins"
                                                        : "White wins") +
                            ",  Black " + std::to_string(black) + " - White " + std::to_string(white) +
                            "  (n: new game)");
            return;
        }
        const std::string side = Position::sideName(m_Position.toMove());
        say("turn " + side);
        m_Score.setText((pass.empty() ? "" : pass.substr(5) + " must pass.  ") + side + " to move.   Black " +
                        std::to_string(black) + " - White " + std::to_string(white));
    }

    void onKey(unsigned char key)
    {
        if (key == 'n')
        {
            say("new game");
            newGame();
        }
        else if (key == 'c')
        {
            Rendering::Render* render = Rendering::Render::instance();
            // The back buffer holds nothing certain after a swap: draw it again.
            render->renderFrame();
            const std::string path = m_ShotDir + "/reversi-" + std::to_string(++m_Shots) + ".png";
            say((render->saveScreenshot(path) ? "screenshot " : "screenshot failed ") + path);
        }
    }

    void onFrame()
    {
        Rendering::Render* render = Rendering::Render::instance();
        if (m_Frames++ == 0)
        {
            std::ostringstream window;
            window << "window 0x" << std::hex << glXGetCurrentDrawable();
            say(window.str());
        }
        Core::Square* hovered = board()->getHighlightedSquare();
        if (m_TraceHover && hovered != m_Hovered)
            say("hover " + (hovered ? Rendering::Render::spokenName(hovered) : std::string("none")));
        m_Hovered = hovered;
        // Reported from a frame drawn after the camera stopped moving.
        m_StillFrames = render->isCameraMoving() ? 0 : m_StillFrames + 1;
        if (!m_Reported && m_StillFrames > 1)
        {
            m_Reported = true;
            std::string line = "squares";
            for (Core::Square* place : board()->getSquares())
            {
                const Rendering::Render::WindowPoint point = render->getWindowPoint(place);
                line += " " + Rendering::Render::spokenName(place) + ":" +
                        std::to_string(static_cast<int>(point.m_X + 0.5)) + ":" +
                        std::to_string(static_cast<int>(point.m_Y + 0.5));
            }
            say(line);
        }
    }

    Core::Grid m_Grid{8, 8};
    Position m_Position;
    Label m_DiscNames[8][8];
    std::string m_Disc;
    std::string m_ShotDir;
    bool m_TraceHover;
    Rendering::HUDText m_Score;
    Rendering::HUDText m_Help;
    Core::Square* m_Hovered = nullptr;
    int m_Shots = 0;
    long m_Frames = 0;
    int m_StillFrames = 0;
    bool m_Reported = false;
};

} // namespace

int main(int argc, char** argv)
{
    Examples::GameOptions options;
    if (!options.parse(argc, argv, "reversi"))
        return 2;
    // The engine keeps plain pointers to the game's parts until the process
    // ends, so the game is never destroyed.
    static Game* game = new Game(REVERSI_ASSET_DIR, options.m_ShotDir, options.m_TraceHover);
    (void)game;
    Rendering::Render::instance()->run();
}
