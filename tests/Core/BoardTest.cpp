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

TEST_F(TwoSquares, FreshBoardHighlightsNothingUntilSwitchedOn)
{
    EXPECT_EQ(board.getOrientation(), 0.0f);
    EXPECT_EQ(board.getHighlightedSquare(), nullptr);
    for (const Square* s : {a, b})
        EXPECT_FALSE(s->isMouseOver() || s->isSelected() || s->isAuthorized());
    board.autoHighlight(a);
    EXPECT_EQ(board.getHighlightedSquare(), nullptr);
    EXPECT_FALSE(a->isMouseOver());

    board.setAutoHighlight(true);
    board.autoHighlight(a);
    board.autoHighlight(b);
    EXPECT_FALSE(a->isMouseOver());
    EXPECT_TRUE(b->isMouseOver());
    EXPECT_EQ(board.getHighlightedSquare(), b);
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

TEST_F(TwoSquares, ClearHighlightKeepsTheMouseOverMark)
{
    board.setAutoHighlight(true);
    board.autoHighlight(a);
    a->highlightSelected(true);
    b->highlightAuthorized(true);
    board.clearHighlight();
    EXPECT_FALSE(a->isSelected());
    EXPECT_FALSE(b->isAuthorized());
    EXPECT_TRUE(a->isMouseOver());
    EXPECT_EQ(board.getHighlightedSquare(), a);
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

    Object* other = new Object(Object::ObjectAlignment(), "");
    b->pushObject(other);
    EXPECT_TRUE(Board::moveObject(piece, b, b));
    EXPECT_EQ(b->getObjects(), (std::vector<Object*>{other, piece}));
}
