#include <gtest/gtest.h>

#include <Core/Board.h>
#include <Core/Grid.h>
#include <Core/Object.h>
#include <Core/Square.h>

using namespace Core;

namespace
{
struct TwoSquares : ::testing::Test
{
    Grid grid{2, 1};
    Square* a = grid.getSquare(0, 0);
    Square* b = grid.getSquare(1, 0);
    Board& board = *grid.getBoard();
};
} // namespace

TEST_F(TwoSquares, AutoHighlightMarksOneSquareAtATimeOnlyWhileSwitchedOn)
{
    board.setAutoHighlight(true);
    board.autoHighlight(a);
    board.autoHighlight(b);
    EXPECT_FALSE(a->isMouseOver());
    EXPECT_TRUE(b->isMouseOver());
    EXPECT_EQ(board.getHighlightedSquare(), b);
    // Clearing the marks the game sets keeps the pointer's.
    a->highlightSelected(true);
    b->highlightAuthorized(true);
    board.clearHighlight();
    EXPECT_FALSE(a->isSelected() || b->isAuthorized());
    EXPECT_TRUE(b->isMouseOver());
    board.autoHighlight(nullptr);
    EXPECT_FALSE(b->isMouseOver());
    EXPECT_EQ(board.getHighlightedSquare(), nullptr);

    // Switched off, the next call only removes a mark left over.
    board.autoHighlight(a);
    board.setAutoHighlight(false);
    board.autoHighlight(b);
    EXPECT_FALSE(a->isMouseOver());
    EXPECT_FALSE(b->isMouseOver());
    EXPECT_EQ(board.getHighlightedSquare(), nullptr);
}

TEST_F(TwoSquares, MoveObjectTransfersOwnership)
{
    Object* piece = new Object(Object::ObjectAlignment(), "");
    a->pushObject(piece);
    EXPECT_FALSE(Board::moveObject(piece, b, a));
    EXPECT_EQ(a->getObjects().size(), 1u);
    EXPECT_TRUE(b->getObjects().empty());

    EXPECT_TRUE(Board::moveObject(piece, a, b));
    EXPECT_TRUE(a->getObjects().empty());
    EXPECT_EQ(b->getObjects(), std::vector<Object*>{piece});
    EXPECT_EQ(piece->getParentSquare(), b);
}
