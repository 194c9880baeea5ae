#include "Game.h"

#include <cstdlib>
#include <iostream>
#include <sstream>

#include <spawn.h>
#include <unistd.h>
#include <sys/wait.h>

#include <GL/glx.h>

#include <Core/Board.h>
#include <Rendering/Render.h>

namespace DraughtsGame
{

using Draughts::Cell;
using Draughts::Controller;
using Draughts::Side;

namespace
{
const char* const c_Title = "Tabula Draughts";
const char* const c_Help = "Click a piece, then a blue square.  n: new game  u: undo  c: screenshot  h: hide help";
const char* const c_HelpHidden = "h: help";

void say(const std::string& line)
{
    std::cout << line << std::endl;
}

// Keyboard play's announcements: spoken by speech-dispatcher's spd-say when
// it is installed, printed otherwise.
std::function<void(const std::string&)> makeAnnouncer()
{
    if (std::system("command -v spd-say >/dev/null 2>&1") != 0)
        return [](const std::string& text) { say("announce " + text); };
    return [](const std::string& text)
    {
        // Reap the voices that have finished.
        while (waitpid(-1, nullptr, WNOHANG) > 0)
        {
        }
        std::string program = "spd-say", line = text;
        char* arguments[] = {program.data(), line.data(), nullptr};
        pid_t pid = 0;
        if (posix_spawnp(&pid, "spd-say", nullptr, nullptr, arguments, environ) != 0)
            say("announce " + text);
    };
}
} // namespace

Game::Game(const std::string& assetDir, const std::string& shotDir, bool traceHover)
    : m_Table(assetDir), m_ShotDir(shotDir), m_ShotCount(0), m_HalfTurns(0), m_ShowHelp(true), m_FirstFrame(true),
      m_TraceHover(traceHover), m_Hovered(nullptr), m_ReportPending(true), m_SettledFrame(false),
      m_Shader(assetDir + "/draughts.vert", assetDir + "/draughts.frag"), m_FrameHook(*this), m_ClickHook(*this),
      m_KeyHook(*this), m_MoveHook(*this)
{
    m_Table.setUp(m_Controller.rules().position());

    m_TurnText.setPosition(1, -2);
    m_CapturedText.setPosition(1, -4);
    m_HintText.setPosition(1, -6);
    m_HintText.setColor(Vec3<double>(0.6, 0.85, 1.0));
    m_HelpText.setPosition(1, -8);
    m_HelpText.setColor(Vec3<double>(0.75, 0.75, 0.75));

    Rendering::Render* render = Rendering::Render::instance();
    render->setParams(c_Title, Vec3<double>(1, 1, 1), m_Table.getBoard());
    render->getCallBacksFrame().push_back(&m_FrameHook);
    m_Table.getBoard()->getCallBacksMove().push_back(&m_MoveHook);
    render->getHUDs().push_back(&m_TurnText);
    render->getHUDs().push_back(&m_CapturedText);
    render->getHUDs().push_back(&m_HintText);
    render->getHUDs().push_back(&m_HelpText);
    render->getCallBacksPicking().push_back(&m_ClickHook);
    render->getCallBacksKeyboard().push_back(&m_KeyHook);
    render->setShader(&m_Shader);
    // Arrows move a focus over the board, Enter plays it, and each step is said.
    render->setKeyboardPlay(true);
    render->setAnnouncer(makeAnnouncer());
    refresh();
    flushLog();
}

void Game::run()
{
    Rendering::Render::instance()->run();
}

void Game::onClick(Core::Square* square)
{
    const std::optional<Cell> cell = m_Table.cellOf(square);
    if (!cell)
        return;
    if (m_Controller.click(*cell) == Draughts::ClickResult::Played)
    {
        ++m_HalfTurns;
        // The scene turns when the move has played (onMoveFinished); one that
        // somehow lost track of the pieces is rebuilt from the rules at once.
        if (!m_Table.show(*m_Controller.lastMove()))
        {
            m_Table.setUp(m_Controller.rules().position());
            turnTowardsPlayer();
        }
    }
    refresh();
    flushLog();
}

void Game::onKey(unsigned char key)
{
    switch (key)
    {
    case 'n':
        m_Controller.newGame();
        m_Table.setUp(m_Controller.rules().position());
        // Black moves first and sits at the front at every whole turn.
        if (m_HalfTurns % 2 != 0)
            ++m_HalfTurns;
        turnTowardsPlayer();
        break;
    case 'u':
        if (m_Controller.undo())
        {
            m_Table.setUp(m_Controller.rules().position());
            --m_HalfTurns;
            turnTowardsPlayer();
        }
        break;
    case 'h':
        m_ShowHelp = !m_ShowHelp;
        break;
    case 'c':
        saveScreenshot();
        break;
    default:
        return;
    }
    refresh();
    flushLog();
}

void Game::onFrame()
{
    if (m_FirstFrame)
    {
        m_FirstFrame = false;
        // Numbered and enabled here, where the window's context is current.
        m_Light.setId(1);
        m_Light.setPosition(Vec4<float>(-4.0f, 9.0f, 6.0f, 1.0f));
        m_Light.setDiffuseColor(Vec4<float>(0.85f, 0.82f, 0.76f, 1.0f));
        m_Light.setSpecularColor(Vec4<float>(0.45f, 0.45f, 0.42f, 1.0f));
        Rendering::Render::instance()->getLights().push_back(&m_Light);
        std::ostringstream window;
        window << "window 0x" << std::hex << glXGetCurrentDrawable();
        say(window.str());
    }
    const Core::Square* hovered = m_Table.getBoard()->getHighlightedSquare();
    if (m_TraceHover && hovered != m_Hovered)
    {
        const std::optional<Cell> cell = m_Table.cellOf(hovered);
        say("hover " + (cell ? Controller::cellName(*cell) : std::string("none")));
    }
    m_Hovered = hovered;
    // Cells are reported from the last frame drawn, so the scene must have
    // stood still for a whole frame.
    const bool settled = rot == m_Table.getBoard()->getOrientation() && !m_Table.getBoard()->isAnimating();
    if (m_ReportPending && settled && m_SettledFrame)
    {
        m_ReportPending = false;
        reportSquares();
        say("facing " + Controller::sideName(m_Controller.rules().position().toMove()));
    }
    m_SettledFrame = settled;
}

void Game::onMoveFinished(Core::Object* piece, const std::vector<Core::Object*>& captured)
{
    m_Table.finishMove(piece, captured);
    turnTowardsPlayer();
}

void Game::reportSquares()
{
    const Rendering::Render* render = Rendering::Render::instance();
    std::ostringstream line;
    line << "squares";
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
        {
            const Rendering::Render::WindowPoint point = render->getWindowPoint(m_Table.getSquare(Cell{x, y}));
            line << ' ' << Controller::cellName(Cell{x, y}) << ':' << static_cast<int>(point.m_X + 0.5) << ':'
                 << static_cast<int>(point.m_Y + 0.5);
        }
    say(line.str());
}

void Game::turnTowardsPlayer()
{
    m_Table.getBoard()->setOrientation(180.0f * static_cast<float>(m_HalfTurns));
    m_ReportPending = true;
    m_SettledFrame = false;
}

void Game::saveScreenshot()
{
    Rendering::Render* render = Rendering::Render::instance();
    // The back buffer holds nothing certain after a swap: draw it again.
    render->renderFrame();
    const std::string path = m_ShotDir + "/draughts-" + std::to_string(++m_ShotCount) + ".png";
    if (render->saveScreenshot(path))
        say("screenshot " + path);
    else
        say("screenshot failed " + path);
}

void Game::refresh()
{
    const Draughts::Rules& rules = m_Controller.rules();
    const Side toMove = rules.position().toMove();
    std::vector<Cell> selected = m_Controller.path();
    m_Table.highlight(selected, m_Controller.targets());

    if (rules.isOver())
    {
        const std::optional<Side> winner = rules.winner();
        m_TurnText.setText("Game over: " + (winner ? Controller::sideName(*winner) + " wins" : std::string("draw")) +
                           "  (n: new game)");
        m_TurnText.setColor(Vec3<double>(1.0, 0.85, 0.3));
    }
    else
    {
        m_TurnText.setText(Controller::sideName(toMove) + " to move");
        m_TurnText.setColor(toMove == Side::Black ? Vec3<double>(0.8, 0.8, 0.8) : Vec3<double>(1, 1, 1));
    }
    m_CapturedText.setText("Captured  Black: " + std::to_string(m_Controller.capturedFrom(Side::Black)) +
                           "   White: " + std::to_string(m_Controller.capturedFrom(Side::White)));

    std::string hint;
    if (!rules.isOver() && !rules.legalMoves().empty() && rules.legalMoves().front().isCapture())
        hint = Controller::sideName(toMove) + " must capture.";
    if (m_Controller.hasSelection())
        hint += (hint.empty() ? "" : " ") + Controller::cellName(selected.front()) +
                " selected: click a blue square, or the piece again to cancel.";
    m_HintText.setText(hint);
    m_HelpText.setText(m_ShowHelp ? c_Help : c_HelpHidden);
}

void Game::flushLog()
{
    const std::vector<std::string> lines = m_Controller.takeLog();
    for (const std::string& line : lines)
        say(line);
    bool changed = false;
    for (const std::string& line : lines)
        if (line.rfind("move ", 0) == 0 || line.rfind("undo ", 0) == 0 || line == "new game")
            changed = true;
    if (changed)
        say("pieces Black " + std::to_string(m_Table.countPieces("Black")) + " White " +
            std::to_string(m_Table.countPieces("White")));
}

void FrameHook::execute()
{
    m_Game.onFrame();
}

void MoveHook::execute()
{
    m_Game.onMoveFinished(getObject(), getCaptured());
}

void ClickHook::execute()
{
    m_Game.onClick(getPickedSquare());
}

void KeyHook::execute()
{
    m_Game.onKey(getKey());
}

} // namespace DraughtsGame
