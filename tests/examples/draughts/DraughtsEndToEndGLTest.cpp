// Plays the draughts game as a user does: the real executable in a window on
// the test's display, real pointer events from xdotool, and the game's own
// event log on its standard output as the only window into it.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include <support/GameProcess.h>
#include <support/TestPaths.h>

namespace
{

using TabulaTest::GameProcess;

/// Waits until the scene faces `side`, then learns where the cells are from
/// "squares a1:248:550 b1:…" (cell name -> window pixel).
bool waitFacing(GameProcess& game, const std::string& side, std::map<std::string, std::pair<int, int>>& points)
{
    std::istringstream words(game.waitFor("squares "));
    points.clear();
    for (std::string word; words >> word;)
    {
        const std::size_t first = word.find(':'), second = word.find(':', first + 1);
        if (second != std::string::npos)
            points[word.substr(0, first)] = {std::atoi(word.c_str() + first + 1), std::atoi(word.c_str() + second + 1)};
    }
    return game.waitFor("facing ") == "facing " + side && points.size() == 64;
}

/// Points at the cell until the game reports the pointer over it, then
/// presses and releases the left button. A pointer move that the window
/// misses (one made just as it appears) is made again a pixel aside.
bool click(GameProcess& game, const std::string& window, const std::pair<int, int>& point, const std::string& cell)
{
    const std::string hover = "hover " + cell;
    for (int attempt = 0; attempt < 6 && game.latest("hover ") != hover; ++attempt)
    {
        GameProcess::xdotool("mousemove --window " + window + " " + std::to_string(point.first + attempt % 2) + " " +
                             std::to_string(point.second));
        game.waitForLatest("hover ", hover, std::chrono::seconds(5 + 5 * attempt));
    }
    if (game.latest("hover ") != hover)
        return false;
    GameProcess::xdotool("click 1");
    return true;
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
        ASSERT_TRUE(click(game, window.substr(7), points[turn.from], turn.from));
        ASSERT_EQ(game.waitFor("select "), std::string("select ") + turn.from);
        ASSERT_TRUE(click(game, window.substr(7), points[turn.to], turn.to));
        for (const std::string& line : turn.log)
            EXPECT_EQ(game.waitFor(line.substr(0, line.find(' ') + 1)), line);
    }
}
