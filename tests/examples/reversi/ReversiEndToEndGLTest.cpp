// Plays a whole game of Reversi as two users do: the real executable in a
// window on the test's display, the first moves with real pointer clicks and
// the rest with the arrow keys and Enter, and the game's own lines on its
// standard output as the only window into it. The test keeps its own copy of
// the position with the rules library and checks every line against it.
#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <string>
#include <utility>

#include <rules/Position.h>
#include <support/GameProcess.h>
#include <support/TestPaths.h>

namespace
{

using Reversi::Cell;
using Reversi::Disc;
using Reversi::Position;
using TabulaTest::GameProcess;

// The arrow keys from the focus to `target`, then Enter.
std::string keysTowards(Cell focus, Cell target)
{
    std::string keys = "key --delay 30";
    for (; focus.x < target.x; ++focus.x)
        keys += " Right";
    for (; focus.x > target.x; --focus.x)
        keys += " Left";
    for (; focus.y < target.y; ++focus.y)
        keys += " Up";
    for (; focus.y > target.y; --focus.y)
        keys += " Down";
    return keys + " Return";
}

} // namespace

TEST(ReversiEndToEnd, AWholeGameWithClicksThenKeys)
{
    GameProcess game(REVERSI_EXECUTABLE, {"--shots", TabulaTest::buildPath(""), "--trace-pointer"},
                     std::chrono::seconds(120));
    ASSERT_TRUE(game.started());
    ASSERT_EQ(game.waitFor("turn "), "turn Black");
    const std::string window = game.waitFor("window ").substr(7);
    ASSERT_FALSE(window.empty());
    const std::map<std::string, std::pair<int, int>> points = GameProcess::cellPoints(game.waitFor("squares "));
    ASSERT_EQ(points.size(), 64u);

    Position position;
    // An illegal click changes nothing.
    ASSERT_TRUE(game.clickCell(window, points.at("a1"), "a1"));
    EXPECT_EQ(game.waitFor("illegal "), "illegal a1");
    const int clicked = 6;
    int moves = 0;
    Cell focus{0, 0};
    while (!position.isOver())
    {
        SCOPED_TRACE("move " + std::to_string(moves + 1));
        // Each side takes the move that turns the most discs, the first in
        // row order among equals, so the game differs from move to move.
        Cell best = position.legalMoves().front();
        for (const Cell& legal : position.legalMoves())
            if (position.flipsOf(legal).size() > position.flipsOf(best).size())
                best = legal;
        if (moves < clicked)
            ASSERT_TRUE(game.clickCell(window, points.at(best.name()), best.name()));
        else
        {
            if (moves == clicked)
            {
                // The first arrow key puts the focus on a1.
                ASSERT_TRUE(game.findWindow("Tabula Reversi"));
                GameProcess::xdotool("key Up");
                ASSERT_EQ(game.waitFor("say a1, "), "say a1, empty");
                focus = Cell{0, 0};
            }
            GameProcess::xdotool(keysTowards(focus, best));
            // Every square on the way is announced; the last is the move's.
            ASSERT_EQ(game.waitFor("say " + best.name() + ", "), "say " + best.name() + ", empty");
            focus = best;
        }
        Reversi::Played played;
        const Disc mover = position.toMove();
        ASSERT_TRUE(position.play(best, &played));
        ++moves;
        std::string expected = "move " + best.name() + " flips";
        for (const Cell& flipped : played.m_Flipped)
            expected += " " + flipped.name();
        ASSERT_EQ(game.waitFor("move "), expected);
        const std::string score = "Black " + std::to_string(position.count(Disc::Black)) + " White " +
                                  std::to_string(position.count(Disc::White));
        EXPECT_EQ(game.waitFor("score "), "score " + score);
        if (played.m_Passed)
        {
            EXPECT_EQ(game.waitFor("pass "), "pass " + Position::sideName(Position::opponent(mover)));
        }
        if (position.isOver())
            EXPECT_EQ(game.waitFor("game over "), "game over " + score);
        else
            EXPECT_EQ(game.waitFor("turn "), "turn " + Position::sideName(position.toMove()));
    }
    EXPECT_GT(moves, clicked);

    // The screenshot key saves the final picture.
    GameProcess::xdotool("key c");
    const std::string shot = game.waitFor("screenshot ");
    EXPECT_EQ(shot, "screenshot " + TabulaTest::buildPath("") + "/reversi-1.png");
}
