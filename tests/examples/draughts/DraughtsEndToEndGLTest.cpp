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

#include <support/GameProcess.h>
#include <support/TestPaths.h>

namespace
{

using TabulaTest::GameProcess;

/// "squares a1:248:550 b1:…" into cell name -> window pixel.
std::map<std::string, std::pair<int, int>> parseSquares(const std::string& line)
{
    std::map<std::string, std::pair<int, int>> points;
    std::istringstream words(line);
    std::string word;
    words >> word;
    while (words >> word)
    {
        const std::size_t first = word.find(':');
        const std::size_t second = word.find(':', first + 1);
        if (first == std::string::npos || second == std::string::npos)
            continue;
        points[word.substr(0, first)] = {std::atoi(word.c_str() + first + 1), std::atoi(word.c_str() + second + 1)};
    }
    return points;
}

class Player
{
public:
    Player(GameProcess& game, const std::string& window) : m_Game(game), m_Window(window) {}

    /// Waits until the scene faces `side`, then learns where the cells are.
    bool waitFacing(const std::string& side)
    {
        const std::string squares = m_Game.waitFor("squares ");
        m_Points = parseSquares(squares);
        return m_Game.waitFor("facing ") == "facing " + side && m_Points.size() == 64;
    }

    /// Points at the cell until the game reports the pointer over it, then
    /// presses and releases the left button. A pointer move that the window
    /// misses (one made just as it appears) is made again a pixel aside.
    bool click(const std::string& cell)
    {
        const auto point = m_Points.find(cell);
        if (point == m_Points.end())
            return false;
        const std::string hover = "hover " + cell;
        for (int attempt = 0; attempt < 6 && m_Game.latest("hover ") != hover; ++attempt)
        {
            GameProcess::xdotool("mousemove --window " + m_Window + " " +
                                 std::to_string(point->second.first + attempt % 2) + " " +
                                 std::to_string(point->second.second));
            m_Game.waitForLatest("hover ", hover, std::chrono::seconds(5 + 5 * attempt));
        }
        if (m_Game.latest("hover ") != hover)
            return false;
        GameProcess::xdotool("click 1");
        return true;
    }

private:
    GameProcess& m_Game;
    std::string m_Window;
    std::map<std::string, std::pair<int, int>> m_Points;
};

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
    Player player(game, window.substr(7));
    ASSERT_TRUE(player.waitFacing("Black"));

    // Black's piece to a legal square: the move is made and White is to play.
    ASSERT_TRUE(player.click("c3"));
    ASSERT_EQ(game.waitFor("select "), "select c3");
    ASSERT_TRUE(player.click("d4"));
    EXPECT_EQ(game.waitFor("move "), "move c3-d4");
    EXPECT_EQ(game.waitFor("turn "), "turn White");
    EXPECT_EQ(game.waitFor("pieces "), "pieces Black 12 White 12");

    // White answers into a capture; the scene has turned to face White.
    ASSERT_TRUE(player.waitFacing("White"));
    ASSERT_TRUE(player.click("f6"));
    ASSERT_EQ(game.waitFor("select "), "select f6");
    ASSERT_TRUE(player.click("e5"));
    EXPECT_EQ(game.waitFor("move "), "move f6-e5");
    EXPECT_EQ(game.waitFor("turn "), "turn Black");

    // Black jumps: the jumped piece leaves the board.
    ASSERT_TRUE(player.waitFacing("Black"));
    ASSERT_TRUE(player.click("d4"));
    ASSERT_EQ(game.waitFor("select "), "select d4");
    ASSERT_TRUE(player.click("f6"));
    EXPECT_EQ(game.waitFor("move "), "move d4xf6");
    EXPECT_EQ(game.waitFor("capture "), "capture e5");
    EXPECT_EQ(game.waitFor("turn "), "turn White");
    EXPECT_EQ(game.waitFor("pieces "), "pieces Black 12 White 11");
}
