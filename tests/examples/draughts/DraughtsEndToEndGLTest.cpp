// Plays the draughts game as a user does: the real executable in a window on
// the test's display, real pointer events from xdotool, and the game's own
// event log on its standard output as the only window into it.
#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include <support/GameProcess.h>
#include <support/TestPaths.h>

namespace
{

using TabulaTest::GameProcess;

/// Waits until the scene faces `side`, then learns where the cells are.
bool waitFacing(GameProcess& game, const std::string& side, std::map<std::string, std::pair<int, int>>& points)
{
    points = GameProcess::cellPoints(game.waitFor("squares "));
    return game.waitFor("facing ") == "facing " + side && points.size() == 64;
}

} // namespace

TEST(DraughtsEndToEnd, ClicksMovePiecesPassTheTurnAndCapture)
{
    // Turning the scene round for the next player takes 180 frames on a
    // software renderer, which is slow under the sanitizers and on a busy machine.
    GameProcess game(DRAUGHTS_EXECUTABLE, {"--shots", TabulaTest::buildPath(""), "--trace-pointer"},
                     std::chrono::seconds(120));
    ASSERT_TRUE(game.started());
    const std::string window = game.waitFor("window ");
    ASSERT_FALSE(window.empty());

    // Black steps, White answers into a capture, Black jumps and the jumped
    // piece leaves the board; the scene turns to face the side to play.
    const struct
    {
        const char* side;
        const char* from;
        const char* to;
        std::vector<std::string> log;
    } turns[] = {
        {"Black", "c3", "d4", {"move c3-d4", "turn White", "pieces Black 12 White 12"}},
        {"White", "f6", "e5", {"move f6-e5", "turn Black"}},
        {"Black", "d4", "f6", {"move d4xf6", "capture e5", "turn White", "pieces Black 12 White 11"}},
    };
    std::map<std::string, std::pair<int, int>> points;
    for (const auto& turn : turns)
    {
        ASSERT_TRUE(waitFacing(game, turn.side, points));
        ASSERT_TRUE(game.clickCell(window.substr(7), points[turn.from], turn.from));
        ASSERT_EQ(game.waitFor("select "), std::string("select ") + turn.from);
        ASSERT_TRUE(game.clickCell(window.substr(7), points[turn.to], turn.to));
        for (const std::string& line : turn.log)
            EXPECT_EQ(game.waitFor(line.substr(0, line.find(' ') + 1)), line);
    }
}
