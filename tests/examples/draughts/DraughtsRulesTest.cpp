#include <rules/Rules.h>

#include <gtest/gtest.h>

#include "TestPositions.h"

using namespace Draughts;

namespace
{

std::vector<std::vector<Cell>> paths(const std::vector<Move>& moves)
{
    std::vector<std::vector<Cell>> result;
    for (const Move& move : moves)
        result.push_back(move.path());
    return result;
}

using Path = std::vector<Cell>;

} // namespace

TEST(DraughtsRulesTest, StartingPosition)
{
    Rules rules;
    const Position& start = rules.position();
    EXPECT_EQ(start.count(Side::Black), 12);
    EXPECT_EQ(start.count(Side::White), 12);
    EXPECT_EQ(start.toMove(), Side::Black);
    ASSERT_EQ(rules.legalMoves().size(), 7u);
    EXPECT_EQ(rules.legalMoves()[0].toString(), "a3-b4");

    Position copy = start;
    copy.set({1, 0}, Piece::WhiteKing);
    copy.set({-1, 8}, Piece::WhiteKing);
    EXPECT_EQ(copy, start);

    const Move nonsense({{-1, 99}}, {{8, 8}}, true);
    EXPECT_EQ(nonsense.toString(), "??");
    EXPECT_EQ(Rules::apply(start, nonsense).count(Side::Black), 12);
    EXPECT_EQ(Move({}, {}, false).from(), (Cell{-1, -1}));
}

TEST(DraughtsRulesTest, CaptureIsCompulsoryAnywhereOnTheBoard)
{
    Rules rules(board({{{1, 1}, Piece::BlackMan}, {{2, 2}, Piece::WhiteMan}, {{5, 1}, Piece::BlackMan}}));
    EXPECT_EQ(paths(rules.legalMoves()), (std::vector<Path>{{{1, 1}, {3, 3}}}));
    const Position before = rules.position();
    EXPECT_FALSE(rules.play(Move({{5, 1}, {4, 2}}, {}, false)));
    EXPECT_EQ(rules.position(), before);
    EXPECT_TRUE(rules.history().empty());
}

TEST(DraughtsRulesTest, MultiJumpMustBeCompletedButAnyBranchMayBeChosen)
{
    Rules rules(board({{{1, 1}, Piece::BlackMan},
                       {{2, 2}, Piece::WhiteMan},
                       {{2, 4}, Piece::WhiteMan},
                       {{4, 4}, Piece::WhiteMan},
                       {{6, 6}, Piece::WhiteMan}}));
    EXPECT_EQ(paths(rules.legalMoves()),
              (std::vector<Path>{{{1, 1}, {3, 3}, {1, 5}}, {{1, 1}, {3, 3}, {5, 5}, {7, 7}}}));
    EXPECT_FALSE(rules.play(Move({{1, 1}, {3, 3}}, {{2, 2}}, false)));
    EXPECT_EQ(rules.movesStartingWith({{1, 1}, {3, 3}}).size(), 2u);

    const Move shorter = rules.movesStartingWith({{1, 1}, {3, 3}, {1, 5}}).at(0);
    EXPECT_EQ(shorter.captured(), (Path{{2, 2}, {2, 4}}));
    EXPECT_EQ(shorter.toString(), "b2xd4xb6");
    ASSERT_TRUE(rules.play(shorter));
    EXPECT_EQ(rules.position().count(Side::White), 2);
}

TEST(DraughtsRulesTest, KingNeverJumpsThePiecesTwiceAndMayEndOnItsOrigin)
{
    Rules rules(board({{{2, 2}, Piece::BlackKing},
                       {{3, 3}, Piece::WhiteMan},
                       {{5, 3}, Piece::WhiteKing},
                       {{5, 1}, Piece::WhiteMan},
                       {{3, 1}, Piece::WhiteMan}}));
    EXPECT_EQ(paths(rules.legalMoves()),
              (std::vector<Path>{{{2, 2}, {4, 4}, {6, 2}, {4, 0}, {2, 2}}, {{2, 2}, {4, 0}, {6, 2}, {4, 4}, {2, 2}}}));
    const Position before = rules.position();
    ASSERT_TRUE(rules.play(rules.legalMoves().at(0)));
    EXPECT_EQ(rules.position().at({2, 2}), Piece::BlackKing);
    EXPECT_EQ(rules.position().count(Side::White), 0);
    EXPECT_TRUE(rules.isOver());
    EXPECT_EQ(rules.winner(), Side::Black);

    ASSERT_TRUE(rules.undo());
    EXPECT_EQ(rules.position(), before);
    EXPECT_EQ(rules.legalMoves().size(), 2u);
}

TEST(DraughtsRulesTest, MenCaptureForwardOnlyKingsBothWays)
{
    const Position men = board({{{3, 3}, Piece::BlackMan}, {{2, 2}, Piece::WhiteMan}, {{4, 2}, Piece::WhiteMan}});
    EXPECT_EQ(paths(Rules::generateMoves(men)), (std::vector<Path>{{{3, 3}, {2, 4}}, {{3, 3}, {4, 4}}}));

    Position king = men;
    king.set({3, 3}, Piece::BlackKing);
    EXPECT_EQ(paths(Rules::generateMoves(king)), (std::vector<Path>{{{3, 3}, {1, 1}}, {{3, 3}, {5, 1}}}));

    const Position white = board({{{3, 3}, Piece::BlackMan}, {{4, 4}, Piece::WhiteMan}}, Side::White);
    EXPECT_EQ(paths(Rules::generateMoves(white)), (std::vector<Path>{{{4, 4}, {2, 2}}}));
    // A man whose only jump would land off the board has no move: his side has lost.
    EXPECT_EQ(Rules(board({{{0, 6}, Piece::BlackMan}, {{1, 7}, Piece::WhiteMan}})).winner(), Side::White);
}

TEST(DraughtsRulesTest, PromotionEndsTheMove)
{
    // Once crowned on (3, 7) the king could jump (4, 6) backwards, but may not.
    Rules rules(board({{{1, 5}, Piece::BlackMan}, {{2, 6}, Piece::WhiteMan}, {{4, 6}, Piece::WhiteMan}}));
    EXPECT_EQ(paths(rules.legalMoves()), (std::vector<Path>{{{1, 5}, {3, 7}}}));
    const Move move = rules.legalMoves().at(0);
    EXPECT_TRUE(move.promotes());
    ASSERT_TRUE(rules.play(move));
    EXPECT_EQ(rules.position().at({3, 7}), Piece::BlackKing);
    EXPECT_EQ(rules.position().at({4, 6}), Piece::WhiteMan);

    const Position step = board({{{3, 1}, Piece::WhiteMan}}, Side::White);
    EXPECT_EQ(Rules::apply(step, Rules::generateMoves(step).at(0)).at({2, 0}), Piece::WhiteKing);
}

TEST(DraughtsRulesTest, UndoRestoresEveryPositionOfAGame)
{
    Rules rules;
    std::vector<Position> seen{rules.position()};
    int captures = 0;
    while (!rules.isOver() && rules.history().size() < 60)
    {
        const Move move = rules.legalMoves().back();
        captures += move.isCapture();
        ASSERT_TRUE(rules.play(move));
        seen.push_back(rules.position());
    }
    EXPECT_GT(captures, 0);
    for (std::size_t i = seen.size(); i-- > 1;)
    {
        EXPECT_EQ(rules.position(), seen[i]);
        ASSERT_TRUE(rules.undo());
    }
    EXPECT_EQ(rules.position(), seen[0]);
    EXPECT_FALSE(rules.undo());
}
