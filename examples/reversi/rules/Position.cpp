#include "Position.h"

namespace Reversi
{

std::string Cell::name() const
{
    return std::string(1, static_cast<char>('a' + x)) + std::to_string(y + 1);
}

Position::Position() : m_ToMove(Disc::Black), m_Over(false)
{
    for (auto& row : m_Discs)
        row.fill(Disc::Empty);
    m_Discs[3][3] = m_Discs[4][4] = Disc::White;
    m_Discs[4][3] = m_Discs[3][4] = Disc::Black;
}

Position::Position(const std::array<const char*, 8>& rows, Disc toMove) : m_ToMove(toMove), m_Over(false)
{
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
        {
            const char mark = rows[7 - y][x];
            m_Discs[y][x] = mark == 'B' ? Disc::Black : mark == 'W' ? Disc::White : Disc::Empty;
        }
}

std::vector<Cell> Position::flipsFor(Disc side, Cell cell) const
{
    std::vector<Cell> flips;
    if (cell.x < 0 || cell.x > 7 || cell.y < 0 || cell.y > 7 || at(cell) != Disc::Empty)
        return flips;
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
        {
            std::vector<Cell> line;
            Cell next{cell.x + dx, cell.y + dy};
            while ((dx != 0 || dy != 0) && next.x >= 0 && next.x < 8 && next.y >= 0 && next.y < 8 &&
                   at(next) == opponent(side))
            {
                line.push_back(next);
                next = Cell{next.x + dx, next.y + dy};
            }
            // The line counts only when one of the side's own discs closes it.
            if (!line.empty() && next.x >= 0 && next.x < 8 && next.y >= 0 && next.y < 8 && at(next) == side)
                flips.insert(flips.end(), line.begin(), line.end());
        }
    return flips;
}

std::vector<Cell> Position::flipsOf(Cell cell) const
{
    return m_Over ? std::vector<Cell>() : flipsFor(m_ToMove, cell);
}

bool Position::canMove(Disc side) const
{
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            if (!flipsFor(side, Cell{x, y}).empty())
                return true;
    return false;
}

std::vector<Cell> Position::legalMoves() const
{
    std::vector<Cell> moves;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            if (!flipsOf(Cell{x, y}).empty())
                moves.push_back(Cell{x, y});
    return moves;
}

int Position::count(Disc side) const
{
    int discs = 0;
    for (const auto& row : m_Discs)
        for (Disc disc : row)
            discs += disc == side ? 1 : 0;
    return discs;
}

bool Position::play(Cell cell, Played* played)
{
    const std::vector<Cell> flips = flipsOf(cell);
    if (flips.empty())
        return false;
    m_Discs[cell.y][cell.x] = m_ToMove;
    for (const Cell& flip : flips)
        m_Discs[flip.y][flip.x] = m_ToMove;
    const bool passed = !canMove(opponent(m_ToMove));
    if (!passed)
        m_ToMove = opponent(m_ToMove);
    else if (!canMove(m_ToMove))
        m_Over = true;
    if (played != nullptr)
        *played = Played{flips, passed && !m_Over};
    return true;
}

std::string Position::sideName(Disc side)
{
    return side == Disc::Black ? "Black" : side == Disc::White ? "White" : "Empty";
}

} // namespace Reversi
