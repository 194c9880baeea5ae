#include <play/Controller.h>

#include <gtest/gtest.h>

#include "TestPositions.h"

using namespace Draughts;

namespace
{

using Lines = std::vector<std::string>;

} // namespace

TEST(DraughtsGame, ClicksThatLeadNowhereChangeNothingButTheSelection)
{
    Controller game;
    EXPECT_EQ(game.takeLog(), Lines({"turn Black"}));
    const Position start = game.rules().position();

    // Nothing selected: an empty cell, a light cell, an opponent's piece, a
    // blocked piece of one's own, a cell off the board.
    for (Cell cell : {Cell{3, 3}, Cell{1, 0}, Cell{5, 5}, Cell{0, 0}, Cell{8, 3}})
        EXPECT_EQ(game.click(cell), ClickResult::Illegal);
    EXPECT_EQ(game.takeLog(), Lines({"illegal d4", "illegal b1", "illegal f6", "illegal a1", "illegal ??"}));

    // A destination the piece cannot reach drops the selection.
    game.click({2, 2});
    EXPECT_EQ(game.targets(), std::vector<Cell>({{1, 3}, {3, 3}}));
    EXPECT_EQ(game.click({2, 4}), ClickResult::Illegal);
    EXPECT_FALSE(game.hasSelection());
    EXPECT_EQ(game.takeLog(), Lines({"select c3", "illegal c5", "cancel"}));

    // The selected piece again cancels; another movable piece is selected instead.
    game.click({2, 2});
    EXPECT_EQ(game.click({2, 2}), ClickResult::Cancelled);
    game.click({2, 2});
    EXPECT_EQ(game.click({4, 2}), ClickResult::Selected);
    EXPECT_EQ(game.path(), std::vector<Cell>({{4, 2}}));
    EXPECT_EQ(game.takeLog(), Lines({"select c3", "cancel", "select c3", "select e3"}));

    EXPECT_EQ(game.rules().position(), start);
    EXPECT_TRUE(game.rules().history().empty());
}

TEST(DraughtsGame, CaptureSequencesArePickedLandingByLandingUntilOneMoveIsLeft)
{
    // From c1 the only first jump lands on e3, from where two jumps go on.
    const Position branching = board({{{2, 0}, Piece::BlackMan},
                                      {{3, 1}, Piece::WhiteMan},
                                      {{3, 3}, Piece::WhiteMan},
                                      {{5, 3}, Piece::WhiteMan},
                                      {{7, 7}, Piece::WhiteMan}});
    Controller game(branching);
    game.takeLog();
    game.click({2, 0});
    EXPECT_EQ(game.targets(), std::vector<Cell>({{4, 2}}));
    EXPECT_EQ(game.click({4, 2}), ClickResult::Landed);
    EXPECT_EQ(game.path(), std::vector<Cell>({{2, 0}, {4, 2}}));
    EXPECT_EQ(game.targets().size(), 2u);
    EXPECT_EQ(game.click({6, 4}), ClickResult::Played);
    EXPECT_FALSE(game.hasSelection());
    EXPECT_EQ(game.takeLog(),
              Lines({"select c1", "land e3", "move c1xe3xg5", "capture d2", "capture f4", "turn White"}));
    EXPECT_EQ(game.capturedFrom(Side::White), 2);
    EXPECT_EQ(game.capturedFrom(Side::Black), 0);

    // Clicking the end of the only sequence that reaches it plays it whole.
    Controller direct(branching);
    direct.click({2, 0});
    EXPECT_EQ(direct.click({2, 4}), ClickResult::Played);
    EXPECT_EQ(direct.lastMove()->toString(), "c1xe3xc5");
}

TEST(DraughtsGame, PromotionEndOfGameUndoAndNewGameAreLogged)
{
    Controller game(board({{{2, 6}, Piece::BlackMan}, {{0, 7}, Piece::WhiteMan}, {{7, 3}, Piece::WhiteMan}}));
    game.takeLog();
    game.click({2, 6});
    game.click({3, 7});
    EXPECT_EQ(game.takeLog(), Lines({"select c7", "move c7-d8", "promote d8", "turn White"}));

    EXPECT_TRUE(game.undo());
    EXPECT_EQ(game.lastMove()->toString(), "c7-d8");
    EXPECT_EQ(game.takeLog(), Lines({"undo c7-d8", "turn Black"}));
    EXPECT_FALSE(game.undo());
    EXPECT_TRUE(game.takeLog().empty());

    // Taking the last white piece ends the game; no click is legal after it.
    Controller last(board({{{2, 2}, Piece::BlackMan}, {{3, 3}, Piece::WhiteMan}}));
    last.takeLog();
    last.click({2, 2});
    last.click({4, 4});
    EXPECT_EQ(last.takeLog(), Lines({"select c3", "move c3xe5", "capture d4", "game over Black wins"}));
    EXPECT_EQ(last.click({4, 4}), ClickResult::Illegal);

    last.newGame();
    EXPECT_EQ(last.rules().position(), Position::initial());
    EXPECT_EQ(last.capturedFrom(Side::White), 0);
    EXPECT_EQ(last.takeLog(), Lines({"illegal e5", "new game", "turn Black"}));
}
