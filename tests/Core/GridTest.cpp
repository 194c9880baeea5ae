#include <gtest/gtest.h>

#include <Core/Board.h>
#include <Core/Grid.h>
#include <Core/Object.h>
#include <Core/Square.h>

#include "support/TestBoard.h"

using namespace Core;
using TabulaTest::SpotProbe;

TEST(GridTest, SquaresAreUnitCellsListedRowByRowOnTheBoard)
{
    Grid grid(3, 2);
    const Vec4<double> dark(0.1, 0.1, 0.1, 1), light(0.9, 0.9, 0.9, 1);
    grid.setCheckerColors(dark, light);
    ASSERT_EQ(grid.getSquares().size(), 6u);
    EXPECT_EQ(grid.getBoard()->getSize(), Vec2<unsigned int>(3, 2));
    EXPECT_EQ(grid.getBoard()->getSquares(), grid.getSquares());
    for (unsigned int y = 0; y < 2; ++y)
        for (unsigned int x = 0; x < 3; ++x)
        {
            Square* square = grid.getSquare(x, y);
            ASSERT_EQ(square, grid.getSquares()[y * 3 + x]);
            const Square::Coords expected = TabulaTest::cellCoords(x, y, x + 1, y + 1);
            for (int i = 0; i < 4; ++i)
                EXPECT_EQ(square->getCoords().m_Corners[i], expected.m_Corners[i]) << x << ' ' << y;
            EXPECT_EQ(square->getColor(), (x + y) % 2 == 0 ? dark : light) << x << ' ' << y;
        }
    EXPECT_EQ(grid.getSquare(3, 0), nullptr);
    EXPECT_EQ(grid.getSquare(0, 2), nullptr);
}

TEST(GridTest, DestroyingTheGridDestroysThePiecesOnItOnce)
{
    const int destroyed = SpotProbe::destroyed;
    {
        Grid grid(2, 2);
        grid.getSquare(0, 0)->pushObject(new SpotProbe());
        auto* moved = new SpotProbe();
        grid.getSquare(1, 1)->pushObject(moved);
        Board::moveObject(moved, grid.getSquare(1, 1), grid.getSquare(0, 1));
    }
    EXPECT_EQ(SpotProbe::destroyed, destroyed + 2);
}
