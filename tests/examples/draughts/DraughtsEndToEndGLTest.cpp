// Plays the draughts game as a user does: the real executable in a window on
// the test's display, real pointer events from xdotool, and the game's own
// event log on its standard output as the only window into it.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <support/TestPaths.h>

namespace
{

using Clock = std::chrono::steady_clock;

// Turning the scene round for the next player takes 180 frames on a software
// renderer, which is slow under the sanitizers and on a busy machine.
const std::chrono::seconds c_Patience(120);

class GameProcess
{
public:
    GameProcess()
    {
        int fds[2];
        if (pipe(fds) != 0)
            return;
        m_Pid = fork();
        if (m_Pid == 0)
        {
            dup2(fds[1], STDOUT_FILENO);
            close(fds[0]);
            close(fds[1]);
            const std::string shots = TabulaTest::buildPath("");
            execl(DRAUGHTS_EXECUTABLE, DRAUGHTS_EXECUTABLE, "--shots", shots.c_str(), "--trace-pointer",
                  static_cast<char*>(nullptr));
            _exit(127);
        }
        close(fds[1]);
        m_Fd = fds[0];
    }

    ~GameProcess()
    {
        if (::testing::Test::HasFailure())
            for (const std::string& line : m_Lines)
                if (line.rfind("squares ", 0) != 0)
                    std::cerr << "game: " << line << std::endl;
        if (m_Pid > 0)
        {
            kill(m_Pid, SIGTERM);
            waitpid(m_Pid, nullptr, 0);
        }
        if (m_Fd >= 0)
            close(m_Fd);
    }

    GameProcess(const GameProcess&) = delete;
    GameProcess& operator=(const GameProcess&) = delete;

    bool started() const { return m_Pid > 0 && m_Fd >= 0; }

    /// Waits for the next line, after the last one waited for, that starts
    /// with `prefix`; returns it, or "" on timeout or when the game ends.
    std::string waitFor(const std::string& prefix)
    {
        const Clock::time_point deadline = Clock::now() + c_Patience;
        for (;;)
        {
            for (std::size_t i = m_Next; i < m_Lines.size(); ++i)
                if (m_Lines[i].rfind(prefix, 0) == 0)
                {
                    m_Next = i + 1;
                    return m_Lines[i];
                }
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            if (left.count() <= 0 || !readMore(static_cast<int>(left.count())))
            {
                ADD_FAILURE() << "no line starting with \"" << prefix << "\" "
                              << (left.count() <= 0 ? "within the patience given" : "before the game ended")
                              << "; last line: \"" << (m_Lines.empty() ? "" : m_Lines.back()) << "\"";
                return "";
            }
        }
    }

    /// The latest line read so far that starts with `prefix`, or "".
    std::string latest(const std::string& prefix) const
    {
        for (auto line = m_Lines.rbegin(); line != m_Lines.rend(); ++line)
            if (line->rfind(prefix, 0) == 0)
                return *line;
        return "";
    }

    /// Reads until the latest line starting with `prefix` is `line`.
    bool waitForLatest(const std::string& prefix, const std::string& line, std::chrono::milliseconds patience)
    {
        const Clock::time_point deadline = Clock::now() + patience;
        while (latest(prefix) != line)
        {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            if (left.count() <= 0 || !readMore(static_cast<int>(left.count())))
                return false;
        }
        return true;
    }

    /// Every line read so far, from `from` on.
    std::vector<std::string> linesSince(std::size_t from) const
    {
        return std::vector<std::string>(m_Lines.begin() + static_cast<long>(std::min(from, m_Lines.size())),
                                        m_Lines.end());
    }
    std::size_t position() const { return m_Next; }

private:
    bool readMore(int timeoutMs)
    {
        pollfd fd{m_Fd, POLLIN, 0};
        if (poll(&fd, 1, timeoutMs) <= 0)
            return false;
        char buffer[4096];
        const ssize_t count = read(m_Fd, buffer, sizeof buffer);
        if (count <= 0)
            return false;
        m_Partial.append(buffer, static_cast<std::size_t>(count));
        std::size_t end;
        while ((end = m_Partial.find('\n')) != std::string::npos)
        {
            m_Lines.push_back(m_Partial.substr(0, end));
            m_Partial.erase(0, end + 1);
        }
        return true;
    }

    pid_t m_Pid = -1;
    int m_Fd = -1;
    std::string m_Partial;
    std::vector<std::string> m_Lines;
    std::size_t m_Next = 0;
};

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
            const std::string move = "xdotool mousemove --window " + m_Window + " " +
                                     std::to_string(point->second.first + attempt % 2) + " " +
                                     std::to_string(point->second.second);
            if (std::system(move.c_str()) != 0)
                return false;
            m_Game.waitForLatest("hover ", hover, std::chrono::seconds(5 + 5 * attempt));
        }
        return m_Game.latest("hover ") == hover && std::system("xdotool click 1") == 0;
    }

private:
    GameProcess& m_Game;
    std::string m_Window;
    std::map<std::string, std::pair<int, int>> m_Points;
};

} // namespace

TEST(DraughtsEndToEnd, ClicksMovePiecesPassTheTurnAndCapture)
{
    GameProcess game;
    ASSERT_TRUE(game.started());
    const std::string window = game.waitFor("window ");
    ASSERT_FALSE(window.empty());
    Player player(game, window.substr(7));
    ASSERT_TRUE(player.waitFacing("Black"));

    // A destination the selected piece cannot reach moves nothing.
    const std::size_t beforeIllegal = game.position();
    ASSERT_TRUE(player.click("c3"));
    ASSERT_EQ(game.waitFor("select "), "select c3");
    ASSERT_TRUE(player.click("c5"));
    ASSERT_EQ(game.waitFor("illegal "), "illegal c5");
    for (const std::string& line : game.linesSince(beforeIllegal))
        EXPECT_NE(line.rfind("move ", 0), 0u) << line;

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
