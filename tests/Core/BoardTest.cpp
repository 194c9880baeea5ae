#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <Core/Board.h>
#include <Core/CallBackMove.h>
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

TEST_F(TwoSquares, MoveFunctionsRunAmongTheRecordsInOrderUntilRemoved)
{
    std::vector<std::string> log;
    struct Record : CallBackMove
    {
        explicit Record(std::vector<std::string>& log) : m_Log(log) {}
        void execute() override { m_Log.push_back("record"); }
        std::vector<std::string>& m_Log;
    } record(log);
    Object* piece = new Object(Object::ObjectAlignment(), "");
    a->pushObject(piece);

    CallBackHandle later;
    CallBackHandle once = board.onMoveFinished(
        [&](Object* object, Square* square, const std::vector<Object*>& captured)
        {
            log.push_back(object == piece && square && captured.empty() ? "once" : "?");
            once.remove();
            later.remove();
        });
    board.getCallBacksMove().push_back(&record);
    CallBackHandle each =
        board.onMoveFinished([&](Object*, Square* square, const std::vector<Object*>&)
                             { log.push_back(square == b ? "each to b" : "each to a"); });
    later = board.onMoveFinished([&](Object*, Square*, const std::vector<Object*>&) { log.push_back("later"); });

    // The first function removes itself and a later one while the move's
    // handlers run: neither runs again, the later one not even now.
    MoveAnimation::Style style;
    ASSERT_TRUE(board.animateObject(piece, {a, b}, style));
    board.advanceAnimations(1.0);
    ASSERT_TRUE(board.animateObject(piece, {b, a}, style));
    board.finishAnimations();
    each.remove();
    ASSERT_TRUE(board.animateObject(piece, {a, b}, style));
    board.advanceAnimations(1.0);
    EXPECT_EQ(log, (std::vector<std::string>{"once", "record", "each to b", "record", "each to a", "record"}));
    EXPECT_EQ(board.getCallBacksMove(), std::vector<CallBackMove*>{&record});

    // A handle outlives its board harmlessly.
    CallBackHandle orphan;
    {
        Board copy(board);
        orphan = copy.onMoveFinished([](Object*, Square*, const std::vector<Object*>&) {});
    }
    orphan.remove();
    EXPECT_FALSE(orphan.isActive());
}
