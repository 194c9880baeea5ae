// Your first board: an 8x8 board with a row of pieces and the square under the
// pointer lit up. Click a piece, then an empty square: the piece hops there.
// Give a model file (.gltf, .glb, .obj or .ase) to see your own piece, and
// --screenshot FILE to write one frame to FILE and end (under xvfb-run when
// there is no display).
#include <algorithm>
#include <cstring>
#include <iostream>
#include <string>

#include <Core/Board.h>
#include <Core/CallBackFrame.h>
#include <Core/CallBackPicking.h>
#include <Core/Grid.h>
#include <Core/Object.h>
#include <Core/Square.h>
#include <Rendering/Aabb.h>
#include <Rendering/HUDText.h>
#include <Rendering/Look.h>
#include <Rendering/Render.h>

#include "Screenshot.h"

// Runs on every click with the square under the pointer.
class MoveOnClick : public Core::CallBackPicking
{
public:
    explicit MoveOnClick(Core::Board& board) : m_Board(board) {}
    void execute() override
    {
        const Vec2<unsigned int>& cell = m_PickedSquare->getLower();
        std::cout << "clicked square " << cell.x() << "," << cell.y() << std::endl;
        if (!m_PickedSquare->getObjects().empty())
            m_From = m_PickedSquare; // the piece to move
        else if (m_From)
        {
            Core::MoveAnimation::Style hop;
            hop.m_Path = Core::MoveAnimation::HOP;
            m_Board.animateObject(m_From->getObjects().front(), {m_From, m_PickedSquare}, hop);
            m_From = nullptr;
        }
    }

private:
    Core::Board& m_Board;
    Core::Square* m_From = nullptr;
};

// Runs once per frame, before drawing, with the seconds since the last one.
class Clock : public Core::CallBackFrame
{
public:
    explicit Clock(Rendering::HUDText& text) : m_Text(text) {}
    void execute() override
    {
        m_Seconds += m_DeltaTime;
        m_Text.setText("Click a piece, then an empty square. " + std::to_string(int(m_Seconds)) + " s");
    }

private:
    Rendering::HUDText& m_Text;
    double m_Seconds = 0;
};

// A piece of the model (a sphere without one), shrunk to fit a square when
// the model is wider or taller than one unit.
Core::Object* makePiece(const std::string& model)
{
    auto* piece = new Core::Object(Core::Object::ObjectAlignment(), model);
    if (piece->getMesh())
    {
        const Vec3<double> size = piece->getAabb().getSize();
        const double largest = std::max({size.x(), size.y(), size.z()});
        if (largest > 1)
            piece->setScale(0.8 / largest);
    }
    return piece;
}

int main(int argc, char** argv)
{
    std::string model, shot;
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--screenshot") == 0 && i + 1 < argc)
            shot = argv[++i];
        else
            model = argv[i];
    if (!shot.empty())
        Screenshot::needDisplay(argc, argv);
    Core::Grid grid(8, 8); // owns the board, its squares and their pieces
    grid.setCheckerColors(Vec4<double>(0.3, 0.2, 0.1, 1), Vec4<double>(0.9, 0.85, 0.7, 1));
    for (unsigned int x = 0; x < 8; ++x)
        grid.getSquare(x, 1)->pushObject(makePiece(model));
    Core::Board& board = *grid.getBoard();
    board.setAutoHighlight(true);

    MoveOnClick onClick(board);
    Rendering::HUDText help;
    help.setPosition(10, 10); // pixels from the window's top-left corner
    Clock clock(help);
    Screenshot screenshot(shot);

    Rendering::Render* render = Rendering::Render::instance();
    render->setParams("First board", Vec3<double>(1, 1, 1), &board);
    render->setLook(Rendering::Look::modern()); // shadows, light rig, centred pieces...
    render->getCallBacksPicking().push_back(&onClick);
    render->getCallBacksFrame().push_back(&clock);
    render->getHUDs().push_back(&help);
    if (!shot.empty())
        render->getCallBacksFrame().push_back(&screenshot);
    render->run(); // never returns
}
