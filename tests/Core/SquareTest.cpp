#include <gtest/gtest.h>

#include <Core/Object.h>
#include <Core/Square.h>

#include "support/TestBoard.h"

using namespace Core;
using TabulaTest::cellCoords;
using TabulaTest::SpotProbe;

TEST(SquareTest, StackOrderParentsAndOwnership)
{
    const int destroyed = SpotProbe::destroyed;
    Object* popped = nullptr;
    {
        Object* first = new SpotProbe();
        Square square(cellCoords(0, 0, 1, 1), {first});
        EXPECT_EQ(first->getParentSquare(), &square);
        Object* second = new SpotProbe();
        Object* third = new SpotProbe();
        square.pushObject(second);
        square.pushObject(third);

        EXPECT_TRUE(square.popObject(second));
        EXPECT_EQ(square.getObjects(), (std::vector<Object*>{first, third}));
        EXPECT_EQ(second->getParentSquare(), nullptr);
        popped = second;
        square.setDrawObjectsBounds(true);
        EXPECT_TRUE(first->getDrawBound() && third->getDrawBound());
    }
    // The square deleted the two pieces it still held, not the popped one.
    EXPECT_EQ(SpotProbe::destroyed, destroyed + 2);
    delete popped;
}

TEST(SquareTest, CopiesShareTheirPiecesWithoutDeletingThemTwice)
{
    const int destroyed = SpotProbe::destroyed;
    Object* piece = new SpotProbe();
    auto* original = new Square(cellCoords(0, 0, 1, 1), {piece});
    auto* copy = new Square(*original);
    EXPECT_EQ(copy->getObjects(), original->getObjects());
    delete original;
    EXPECT_EQ(SpotProbe::destroyed, destroyed);
    // The piece's square is gone; it no longer names it.
    EXPECT_EQ(piece->getParentSquare(), nullptr);
    delete copy;
    EXPECT_EQ(SpotProbe::destroyed, destroyed + 1);
}
