// Keyboard play: a focus moved square to square by the arrow keys, a click
// on it by Enter or space, and what it says about the board.
#include <Rendering/Render.h>

#include <cmath>
#include <limits>
#include <string>

#include <GL/freeglut.h>

#include <Core/Board.h>
#include <Core/Drawable.h>
#include <Core/Meta.h>
#include <Core/Object.h>
#include <Core/Square.h>
#include <Rendering/internal/InteractionState.h>

namespace Rendering
{

namespace
{
// The middle of a square in grid units.
void middleOf(const Core::Square& square, double& x, double& y)
{
    x = square.getLower().x() + square.getSize().x() / 2.0;
    y = square.getLower().y() + square.getSize().y() / 2.0;
}

// The nearest square from `from` in direction (dx, dy), preferring squares
// straight along it over those aside; null when there is none that way.
Core::Square* neighbour(const Core::Board& board, const Core::Square& from, int dx, int dy)
{
    double fx, fy;
    middleOf(from, fx, fy);
    Core::Square* best = nullptr;
    double bestCost = std::numeric_limits<double>::max();
    for (Core::Square* square : board.getSquares())
    {
        if (!square || square == &from)
            continue;
        double x, y;
        middleOf(*square, x, y);
        const double along = (x - fx) * dx + (y - fy) * dy;
        const double aside = std::fabs((x - fx) * dy - (y - fy) * dx);
        if (along <= 0.0 || aside >= along)
            continue;
        const double cost = along + 2.0 * aside;
        if (cost < bestCost)
        {
            bestCost = cost;
            best = square;
        }
    }
    return best;
}

std::string describe(const Core::Square* square)
{
    std::string text = Render::spokenName(square);
    if (square->getObjects().empty())
        return text + ", empty";
    for (const Core::Object* piece : square->getObjects())
        text += ", " + Render::spokenName(piece);
    return text;
}
} // namespace

std::string Render::spokenName(const Core::Drawable* drawable)
{
    if (!drawable)
        return "";
    const std::string name = drawable->getMeta("name");
    if (!name.empty())
        return name;
    std::string joined;
    for (const Core::Meta<std::string>* meta : drawable->getMetas())
        if (meta && !meta->getValue().empty())
            joined += (joined.empty() ? "" : " ") + meta->getValue();
    if (!joined.empty())
        return joined;
    if (const auto* square = dynamic_cast<const Core::Square*>(drawable))
    {
        // Column letters run a..z, then aa, ab...
        std::string column;
        for (unsigned int x = square->getLower().x() + 1; x > 0; x = (x - 1) / 26)
            column.insert(column.begin(), static_cast<char>('a' + (x - 1) % 26));
        return column + std::to_string(square->getLower().y() + 1);
    }
    return dynamic_cast<const Core::Object*>(drawable) ? "piece" : drawable->getClassName();
}

void Render::setKeyboardPlay(bool on)
{
    InteractionState& state = *m_Interaction;
    state.m_KeyboardPlay = on;
    state.m_MoveAnnouncements.remove();
    state.m_Focus = nullptr;
    if (!on || !m_Board)
        return;
    state.m_MoveAnnouncements = m_Board->onMoveFinished(
        [this](Core::Object* piece, Core::Square* square, const std::vector<Core::Object*>& captured)
        {
            std::string text = spokenName(piece) + " to " + spokenName(square);
            for (std::size_t i = 0; i < captured.size(); ++i)
                text += (i == 0 ? ", takes " : ", ") + spokenName(captured[i]);
            announce(text);
        });
}

bool Render::getKeyboardPlay() const
{
    return m_Interaction->m_KeyboardPlay;
}

void Render::setAnnouncer(std::function<void(const std::string& text)> announcer)
{
    m_Interaction->m_Announcer = std::move(announcer);
}

Core::Square* Render::getFocusedSquare() const
{
    return m_Interaction->m_Focus;
}

void Render::setFocusedSquare(Core::Square* square)
{
    if (!m_Interaction->m_KeyboardPlay || square == m_Interaction->m_Focus)
        return;
    m_Interaction->m_Focus = square;
    if (square)
        announce(describe(square));
}

void Render::announce(const std::string& text)
{
    if (m_Interaction->m_Announcer)
        m_Interaction->m_Announcer(text);
}

bool Render::handleKeyboardPlay(int key, bool special)
{
    if (!m_Interaction->m_KeyboardPlay || !m_Board)
        return false;
    Core::Square* focus = m_Interaction->m_Focus;
    if (!special)
    {
        if ((key != '\r' && key != '\n' && key != ' ') || !focus)
            return false;
        click(focus);
        return true;
    }
    int dx = 0, dy = 0;
    switch (key)
    {
    case GLUT_KEY_LEFT:
        dx = -1;
        break;
    case GLUT_KEY_RIGHT:
        dx = 1;
        break;
    case GLUT_KEY_UP:
        dy = 1;
        break;
    case GLUT_KEY_DOWN:
        dy = -1;
        break;
    default:
        return false;
    }
    // The first press starts where a player who cannot see the board can
    // find it again: the board's first square.
    if (!focus)
    {
        if (!m_Board->getSquares().empty())
            setFocusedSquare(m_Board->getSquares().front());
        return true;
    }
    if (Core::Square* next = neighbour(*m_Board, *focus, dx, dy))
        setFocusedSquare(next);
    return true;
}

void Render::specialKey(int key, int, int)
{
    instance()->handleKeyboardPlay(key, true);
}

void Render::markFocus(bool on)
{
    InteractionState& state = *m_Interaction;
    if (on && state.m_Focus && !state.m_Focus->isMouseOver())
    {
        state.m_Focus->highlightMouseOver(true);
        state.m_FocusMarked = state.m_Focus;
    }
    else if (!on && state.m_FocusMarked)
    {
        state.m_FocusMarked->highlightMouseOver(false);
        state.m_FocusMarked = nullptr;
    }
}

} // namespace Rendering
