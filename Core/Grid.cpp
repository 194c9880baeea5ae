#include <Core/Grid.h>

#include <Core/Board.h>
#include <Core/Square.h>

namespace Core
{

Grid::Grid(unsigned int width, unsigned int depth) : m_Size(width, depth)
{
    m_Squares.reserve(static_cast<std::size_t>(width) * depth);
    for (unsigned int y = 0; y < depth; ++y)
        for (unsigned int x = 0; x < width; ++x)
        {
            Square::Coords coords;
            coords.m_Corners[0] = Vec2<unsigned int>(x, y);
            coords.m_Corners[1] = Vec2<unsigned int>(x + 1, y);
            coords.m_Corners[2] = Vec2<unsigned int>(x + 1, y + 1);
            coords.m_Corners[3] = Vec2<unsigned int>(x, y + 1);
            m_Squares.push_back(new Square(coords, {}));
        }
    m_Board = std::make_unique<Board>(m_Size, m_Squares);
}

Grid::~Grid()
{
    // The board only lists the squares; it goes first so it never holds a
    // dangling one.
    m_Board.reset();
    for (Square* square : m_Squares)
        delete square;
}

Square* Grid::getSquare(unsigned int x, unsigned int y) const
{
    if (x >= m_Size.x() || y >= m_Size.y())
        return nullptr;
    return m_Squares[static_cast<std::size_t>(y) * m_Size.x() + x];
}

void Grid::setCheckerColors(const Vec4<double>& dark, const Vec4<double>& light)
{
    for (unsigned int y = 0; y < m_Size.y(); ++y)
        for (unsigned int x = 0; x < m_Size.x(); ++x)
            getSquare(x, y)->setColor((x + y) % 2 == 0 ? dark : light);
}

} // namespace Core
