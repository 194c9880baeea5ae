#include <gtest/gtest.h>

#include <Core/Board.h>
#include <Core/Grid.h>
#include <Core/Object.h>
#include <Core/Square.h>

#include "support/TestBoard.h"

using namespace Core;
using TabulaTest::SpotProbe;

TEST(GridTest, SquaresAreListedRowByRowInCheckerColours)
{
    Grid grid(3, 2);
    const Vec4<double> dark(0.1, 0.1, 0.1, 1), light(0.9, 0.9, 0.9, 1);
    grid.setCheckerColors(dark, light);
    ASSERT_EQ(grid.getSquares().size(), 6u);
    // Where each square lies shows in every test that finds a piece on its
    // square's centre; here, that the list and the lookup agree.
    for (unsigned int y = 0; y < 2; ++y)
        for (unsigned int x = 0; x < 3; ++x)
        {
            ASSERT_EQ(grid.getSquare(x, y), grid.getSquares()[y * 3 + x]);
            EXPECT_EQ(grid.getSquare(x, y)->getColor(), (x + y) % 2 == 0 ? dark : light) << x << ' ' << y;
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
