#include <rules/Position.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace Reversi;

namespace
{

std::string names(const std::vector<Cell>& cells)
{
    std::string text;
    for (const Cell& cell : cells)
        text += (text.empty() ? "" : " ") + cell.name();
    return text;
}

Cell cell(const char* name)
{
    return Cell{name[0] - 'a', name[1] - '1'};
}

} // namespace

TEST(ReversiRules, MovesMustCloseALineAndFlipIt)
{
    const Position start;
    EXPECT_EQ(names(start.legalMoves()), "d3 c4 f5 e6");
    EXPECT_EQ(start.count(Disc::Black), 2);
    EXPECT_EQ(start.count(Disc::White), 2);
    // Beside a disc with no line closed (an empty square beyond), beside
    // nothing, on a disc.
    for (const char* illegal : {"f4", "a1", "d4"})
        EXPECT_TRUE(start.flipsOf(cell(illegal)).empty()) << illegal;

    const struct
    {
        const char* what;
        std::array<const char*, 8> rows;
        const char* move;
        const char* flips; // "" when the move is illegal
    } cases[] = {
        {"a line that runs into the edge does not count",
         {"........", "........", "........", "........", "........", "........", "........", "WWWWWWW."},
         "h1",
         ""},
        {"a long line closed at the far end",
         {"........", "........", "........", "........", "........", "........", "........", "BWWWWWW."},
         "h1",
         "g1 f1 e1 d1 c1 b1"},
        {"three directions at once, the fourth open",
         {"........", "........", "..B.B...", "...WW...", "..BW.W..", "........", "........", "........"},
         "e4",
         "d4 d5 e5"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        Position position(c.rows, Disc::Black);
        const Position before = position;
        EXPECT_EQ(names(position.flipsOf(cell(c.move))), c.flips);
        Played played;
        ASSERT_EQ(position.play(cell(c.move), &played), std::string(c.flips) != "");
        if (std::string(c.flips).empty())
        {
            EXPECT_EQ(position.count(Disc::Black), before.count(Disc::Black));
            EXPECT_EQ(position.toMove(), Disc::Black);
            continue;
        }
        EXPECT_EQ(names(played.m_Flipped), c.flips);
        for (const Cell& flipped : played.m_Flipped)
            EXPECT_EQ(position.at(flipped), Disc::Black) << flipped.name();
        EXPECT_EQ(position.at(cell(c.move)), Disc::Black);
        EXPECT_EQ(position.count(Disc::Black), before.count(Disc::Black) + 1 + int(played.m_Flipped.size()));
    }
}

TEST(ReversiRules, ASideWithNoMovePassesAndTheGameEndsWhenNeitherCanMove)
{
    // White's only disc that could answer is taken: White passes, Black goes on.
    Position pass({"........", "........", "........", "........", "........", "........", "W.......", "BWW.W..."},
                  Disc::Black);
    Played played;
    ASSERT_TRUE(pass.play(cell("d1"), &played));
    EXPECT_TRUE(played.m_Passed);
    EXPECT_FALSE(pass.isOver());
    EXPECT_EQ(pass.toMove(), Disc::Black);
    EXPECT_EQ(names(pass.legalMoves()), "f1 a3");

    // Black takes the last White disc: nobody can move.
    Position last({"........", "........", "........", "........", "........", "........", "........", "BW......"},
                  Disc::Black);
    ASSERT_TRUE(last.play(cell("c1"), &played));
    EXPECT_FALSE(played.m_Passed);
    EXPECT_TRUE(last.isOver());
    EXPECT_TRUE(last.legalMoves().empty());
    EXPECT_FALSE(last.play(cell("d1")));
    EXPECT_EQ(last.count(Disc::Black), 3);
}

// Whole games, each side always taking its first (or last) legal move: every
// move adds one disc and turns the ones it reports; the game ends exactly
// when neither side has a move, and a pass keeps the mover.
TEST(ReversiRules, WholeGamesKeepTheCountsAndEndOnlyWhenStuck)
{
    for (bool first : {true, false})
    {
        Position position;
        int moves = 0;
        while (!position.isOver())
        {
            const std::vector<Cell> legal = position.legalMoves();
            ASSERT_FALSE(legal.empty()) << "a side to move always has a move";
            const Disc mover = position.toMove();
            const int before = position.count(mover);
            Played played;
            ASSERT_TRUE(position.play(first ? legal.front() : legal.back(), &played));
            ++moves;
            EXPECT_EQ(position.count(mover), before + 1 + int(played.m_Flipped.size()));
            EXPECT_EQ(position.count(Disc::Black) + position.count(Disc::White), 4 + moves);
            if (!position.isOver())
            {
                EXPECT_EQ(position.toMove(), played.m_Passed ? mover : Position::opponent(mover));
            }
        }
        EXPECT_LE(moves, 60);
        EXPECT_TRUE(position.legalMoves().empty());
    }
}
