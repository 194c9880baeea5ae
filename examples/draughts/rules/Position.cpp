#include <rules/Position.h>

namespace Draughts
{

Position::Position() : m_ToMove(Side::Black)
{
    m_Cells.fill(Piece::Empty);
}

Position Position::initial()
{
    Position position;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
        {
            if (y <= 2)
                position.set({x, y}, Piece::BlackMan);
            else if (y >= 5)
                position.set({x, y}, Piece::WhiteMan);
        }
    return position;
}

Piece Position::at(Cell cell) const
{
    if (!cell.isDark())
        return Piece::Empty;
    return m_Cells[cell.y * 8 + cell.x];
}

void Position::set(Cell cell, Piece piece)
{
    if (cell.isDark())
        m_Cells[cell.y * 8 + cell.x] = piece;
}

int Position::count(Side side) const
{
    int n = 0;
    for (Piece piece : m_Cells)
        if (belongsTo(piece, side))
            ++n;
    return n;
}

bool Position::operator==(const Position& other) const
{
    return m_ToMove == other.m_ToMove && m_Cells == other.m_Cells;
}

} // namespace Draughts
