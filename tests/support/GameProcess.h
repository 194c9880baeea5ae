#pragma once

#include <chrono>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include <sys/types.h>

namespace TabulaTest
{

/// A game program run as a child process on the test's X display, driven with
/// real pointer and key events through xdotool, and observed through the lines
/// it prints on its standard output. Every line is kept; a cursor marks the
/// next one a wait looks at. Each wait has one deadline (`patience` from its
/// start, however many lines arrive meanwhile) and adds a test failure naming
/// what it waited for when it runs out or the game ends. On a failed test the
/// destructor prints the game's lines. The game is killed at destruction.
class GameProcess
{
public:
    using Seconds = std::chrono::seconds;

    GameProcess(const std::string& program, const std::vector<std::string>& arguments = {},
                Seconds patience = Seconds(20));
    ~GameProcess();
    GameProcess(const GameProcess&) = delete;
    GameProcess& operator=(const GameProcess&) = delete;

    bool started() const { return m_Pid > 0 && m_Fd >= 0; }

    /// The next line from the cursor that starts with `prefix`; the cursor
    /// moves past it. "" (and a failure) when none comes in time.
    std::string waitFor(const std::string& prefix);
    /// Every line from the cursor up to the first one equal to `line`, which
    /// is consumed but not returned. A failure when it does not come in time.
    std::vector<std::string> waitUntil(const std::string& line);
    /// The latest line read so far that starts with `prefix`, or "".
    std::string latest(const std::string& prefix) const;
    /// Reads until latest(prefix) is `line`, for at most `patience`; no failure.
    bool waitForLatest(const std::string& prefix, const std::string& line, std::chrono::milliseconds patience);
    /// Exit status once the game has ended by itself, -1 (and a failure) when
    /// it is still running at the deadline or was killed by a signal.
    int waitExit();

    /// Finds the game's visible window whose title matches `titleRegex` and
    /// remembers its position on the screen; false (and a failure) if none.
    bool findWindow(const std::string& titleRegex);
    /// Moves the pointer to window pixel (x, y) and waits until it is there.
    void moveTo(int x, int y) const;
    /// Runs xdotool with `arguments` (at most 20 s) and returns its output.
    static std::string xdotool(const std::string& arguments);

    /// Cell name -> window pixel from a game's "squares a1:248:550 b1:…" line.
    static std::map<std::string, std::pair<int, int>> cellPoints(const std::string& line);
    /// Points at `point` of X window `window` until the game prints
    /// "hover <cell>", then presses and releases the left button; false when
    /// the hover never comes. A pointer move that the window misses (one made
    /// just as it appears) is made again a pixel aside.
    bool clickCell(const std::string& window, const std::pair<int, int>& point, const std::string& cell);

    /// The lines of `lines` that start with `prefix`.
    static std::vector<std::string> only(const std::vector<std::string>& lines, const std::string& prefix);

private:
    bool readMore(std::chrono::steady_clock::time_point deadline);
    /// Moves the cursor to the next line `matches` accepts and returns true,
    /// or adds a failure naming `what` when none comes in time.
    template <typename Match>
    bool waitForLine(const Match& matches, const std::string& what);
    std::string lastLines() const;

    std::string m_Program;
    Seconds m_Patience;
    pid_t m_Pid = -1;
    int m_Fd = -1;
    std::string m_Partial;
    std::vector<std::string> m_Lines;
    std::size_t m_Next = 0;
    std::string m_Window;
    int m_OriginX = 0;
    int m_OriginY = 0;
};

} // namespace TabulaTest
