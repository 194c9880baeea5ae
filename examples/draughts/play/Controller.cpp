#include <play/Controller.h>

#include <algorithm>

namespace Draughts
{

namespace
{
bool contains(const std::vector<Cell>& cells, Cell cell)
{
    return std::find(cells.begin(), cells.end(), cell) != cells.end();
}
} // namespace

Controller::Controller(const Position& start) : m_Rules(start), m_Start(start)
{
    logTurn();
}

std::string Controller::sideName(Side side)
{
    return side == Side::Black ? "Black" : "White";
}

std::string Controller::cellName(Cell cell)
{
    if (!cell.isOnBoard())
        return "??";
    return std::string(1, static_cast<char>('a' + cell.x)) + static_cast<char>('1' + cell.y);
}

std::vector<std::string> Controller::takeLog()
{
    std::vector<std::string> lines;
    lines.swap(m_Log);
    return lines;
}

int Controller::capturedFrom(Side side) const
{
    return m_Start.count(side) - m_Rules.position().count(side);
}

std::vector<Cell> Controller::targets() const
{
    std::vector<Cell> cells;
    if (m_Path.empty())
        return cells;
    for (const Move& move : m_Rules.movesStartingWith(m_Path))
        if (move.path().size() > m_Path.size() && !contains(cells, move.path()[m_Path.size()]))
            cells.push_back(move.path()[m_Path.size()]);
    return cells;
}

ClickResult Controller::click(Cell cell)
{
    if (m_Rules.isOver() || !cell.isOnBoard())
        return illegal(cell);

    if (m_Path.empty())
    {
        if (m_Rules.movesFrom(cell).empty())
            return illegal(cell);
        select(cell);
        return ClickResult::Selected;
    }

    if (contains(targets(), cell))
    {
        std::vector<Cell> longer = m_Path;
        longer.push_back(cell);
        const std::vector<Move> moves = m_Rules.movesStartingWith(longer);
        if (moves.size() == 1)
            return play(moves.front());
        m_Path = longer;
        m_Log.push_back("land " + cellName(cell));
        return ClickResult::Landed;
    }

    std::vector<Move> endingHere;
    for (const Move& move : m_Rules.movesStartingWith(m_Path))
        if (move.to() == cell)
            endingHere.push_back(move);
    if (endingHere.size() == 1)
        return play(endingHere.front());

    if (m_Path.size() == 1 && cell == m_Path.front())
    {
        cancel();
        return ClickResult::Cancelled;
    }
    if (m_Path.size() == 1 && !m_Rules.movesFrom(cell).empty())
    {
        select(cell);
        return ClickResult::Selected;
    }
    return illegal(cell);
}

void Controller::cancel()
{
    if (m_Path.empty())
        return;
    m_Path.clear();
    m_Log.push_back("cancel");
}

void Controller::newGame()
{
    m_Path.clear();
    m_LastMove.reset();
    m_Start = Position::initial();
    m_Rules.reset(m_Start);
    m_Log.push_back("new game");
    logTurn();
}

bool Controller::undo()
{
    m_Path.clear();
    if (m_Rules.history().empty())
        return false;
    m_LastMove = m_Rules.history().back();
    m_Rules.undo();
    m_Log.push_back("undo " + m_LastMove->toString());
    logTurn();
    return true;
}

ClickResult Controller::play(const Move& move)
{
    m_Path.clear();
    m_Rules.play(move);
    m_LastMove = move;
    m_Log.push_back("move " + move.toString());
    for (const Cell& cell : move.captured())
        m_Log.push_back("capture " + cellName(cell));
    if (move.promotes())
        m_Log.push_back("promote " + cellName(move.to()));
    logTurn();
    return ClickResult::Played;
}

ClickResult Controller::illegal(Cell cell)
{
    m_Log.push_back("illegal " + cellName(cell));
    cancel();
    return ClickResult::Illegal;
}

void Controller::select(Cell cell)
{
    m_Path.assign(1, cell);
    m_Log.push_back("select " + cellName(cell));
}

void Controller::logTurn()
{
    if (m_Rules.isOver())
    {
        const std::optional<Side> winner = m_Rules.winner();
        m_Log.push_back("game over " + (winner ? sideName(*winner) + " wins" : std::string("draw")));
        return;
    }
    m_Log.push_back("turn " + sideName(m_Rules.position().toMove()));
}

} // namespace Draughts
