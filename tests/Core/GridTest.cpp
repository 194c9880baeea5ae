#include <gtest/gtest.h>

#include <Core/Board.h>
#include <Core/Grid.h>
#include <Core/Object.h>
#include <Core/Square.h>

using namespace Core;

namespace
{
int g_PiecesDestroyed = 0;

struct CountedPiece : Object
{
    CountedPiece() : Object(ObjectAlignment(), "") {}
    ~CountedPiece() override { ++g_PiecesDestroyed; }
};
} // namespace

TEST(GridTest, SquaresAreUnitCellsListedRowByRowOnTheBoard)
{
    Grid grid(3, 2);
    ASSERT_EQ(grid.getSquares().size(), 6u);
    EXPECT_EQ(grid.getBoard()->getSize(), Vec2<unsigned int>(3, 2));
    EXPECT_EQ(grid.getBoard()->getSquares(), grid.getSquares());
    for (unsigned int y = 0; y < 2; ++y)
        for (unsigned int x = 0; x < 3; ++x)
        {
            Square* square = grid.getSquare(x, y);
            ASSERT_EQ(square, grid.getSquares()[y * 3 + x]);
            const Square::Coords& c = square->getCoords();
            EXPECT_EQ(c.m_Corners[0], Vec2<unsigned int>(x, y));
            EXPECT_EQ(c.m_Corners[1], Vec2<unsigned int>(x + 1, y));
            EXPECT_EQ(c.m_Corners[2], Vec2<unsigned int>(x + 1, y + 1));
            EXPECT_EQ(c.m_Corners[3], Vec2<unsigned int>(x, y + 1));
            EXPECT_EQ(square->getSize(), Vec2<unsigned int>(1, 1));
        }
    EXPECT_EQ(grid.getSquare(3, 0), nullptr);
    EXPECT_EQ(grid.getSquare(0, 2), nullptr);
}

TEST(GridTest, CheckerColoursDarkWhereXPlusYIsEven)
{
    Grid grid(3, 3);
    const Vec4<double> dark(0.1, 0.1, 0.1, 1), light(0.9, 0.9, 0.9, 1);
    grid.setCheckerColors(dark, light);
    EXPECT_EQ(grid.getSquare(0, 0)->getColor(), dark);
    EXPECT_EQ(grid.getSquare(1, 0)->getColor(), light);
    EXPECT_EQ(grid.getSquare(2, 1)->getColor(), light);
    EXPECT_EQ(grid.getSquare(2, 2)->getColor(), dark);
}

TEST(GridTest, DestroyingTheGridDestroysThePiecesOnItOnce)
{
    g_PiecesDestroyed = 0;
    {
        Grid grid(2, 2);
        grid.getSquare(0, 0)->pushObject(new CountedPiece());
        auto* moved = new CountedPiece();
        grid.getSquare(1, 1)->pushObject(moved);
        Board::moveObject(moved, grid.getSquare(1, 1), grid.getSquare(0, 1));
    }
    EXPECT_EQ(g_PiecesDestroyed, 2);
}
