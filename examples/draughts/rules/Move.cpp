#include <rules/Move.h>

#include <utility>

namespace Draughts
{

Move::Move(std::vector<Cell> path, std::vector<Cell> captured, bool promotes)
    : m_Path(std::move(path)), m_Captured(std::move(captured)), m_Promotes(promotes)
{
}

Cell Move::from() const
{
    return m_Path.empty() ? Cell{-1, -1} : m_Path.front();
}

Cell Move::to() const
{
    return m_Path.empty() ? Cell{-1, -1} : m_Path.back();
}

std::string Move::toString() const
{
    std::string text;
    for (const Cell& cell : m_Path)
    {
        if (!text.empty())
            text += isCapture() ? 'x' : '-';
        if (cell.isOnBoard())
        {
            text += static_cast<char>('a' + cell.x);
            text += static_cast<char>('1' + cell.y);
        }
        else
            text += "??";
    }
    return text;
}

bool Move::operator==(const Move& other) const
{
    return m_Path == other.m_Path && m_Captured == other.m_Captured && m_Promotes == other.m_Promotes;
}

} // namespace Draughts
