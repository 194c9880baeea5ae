#include "support/GameProcess.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <sstream>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace TabulaTest
{

using Clock = std::chrono::steady_clock;

namespace
{
bool startsWith(const std::string& line, const std::string& prefix)
{
    return line.compare(0, prefix.size(), prefix) == 0;
}
} // namespace

GameProcess::GameProcess(const std::string& program, const std::vector<std::string>& arguments, Seconds patience)
    : m_Program(program), m_Patience(patience)
{
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0)
        return;
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    m_Pid = fork();
    if (m_Pid == 0)
    {
        // The engine keeps its default light to the end and the GL driver
        // keeps allocations of its own; in a leak-checking build the report
        // must not replace the exit status under test.
        const char* options = std::getenv("LSAN_OPTIONS");
        setenv("LSAN_OPTIONS", (std::string(options ? options : "") + ":exitcode=0").c_str(), 1);
        dup2(fds[1], STDOUT_FILENO);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    close(fds[1]);
    m_Fd = fds[0];
}

GameProcess::~GameProcess()
{
    if (::testing::Test::HasFailure())
        std::cerr << m_Program << " printed:\n" << lastLines();
    if (m_Pid > 0)
    {
        kill(m_Pid, SIGKILL);
        waitpid(m_Pid, nullptr, 0);
    }
    if (m_Fd >= 0)
        close(m_Fd);
}

bool GameProcess::readMore(Clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    pollfd fd{m_Fd, POLLIN, 0};
    if (left <= 0 || poll(&fd, 1, static_cast<int>(left)) <= 0)
        return false;
    char chunk[4096];
    const ssize_t got = read(m_Fd, chunk, sizeof chunk);
    if (got <= 0)
        return false;
    m_Partial.append(chunk, static_cast<std::size_t>(got));
    for (std::size_t end = m_Partial.find('\n'); end != std::string::npos; end = m_Partial.find('\n'))
    {
        m_Lines.push_back(m_Partial.substr(0, end));
        m_Partial.erase(0, end + 1);
    }
    return true;
}

std::string GameProcess::lastLines() const
{
    std::string text;
    for (std::size_t i = m_Lines.size() > 40 ? m_Lines.size() - 40 : 0; i < m_Lines.size(); ++i)
        text += "  " + m_Lines[i] + "\n";
    return text;
}

template <typename Match>
bool GameProcess::waitForLine(const Match& matches, const std::string& what)
{
    const Clock::time_point deadline = Clock::now() + m_Patience;
    do
    {
        for (; m_Next < m_Lines.size(); ++m_Next)
            if (matches(m_Lines[m_Next]))
                return true;
    } while (readMore(deadline));
    ADD_FAILURE() << "no line " << what << " within " << m_Patience.count() << " s";
    return false;
}

std::string GameProcess::waitFor(const std::string& prefix)
{
    if (!waitForLine([&](const std::string& line) { return startsWith(line, prefix); },
                     "starting with \"" + prefix + "\""))
        return "";
    return m_Lines[m_Next++];
}

std::vector<std::string> GameProcess::waitUntil(const std::string& line)
{
    const long from = static_cast<long>(m_Next);
    const bool found = waitForLine([&](const std::string& next) { return next == line; }, "\"" + line + "\"");
    std::vector<std::string> lines(m_Lines.begin() + from, m_Lines.begin() + static_cast<long>(m_Next));
    m_Next += found;
    return lines;
}

std::string GameProcess::latest(const std::string& prefix) const
{
    for (auto line = m_Lines.rbegin(); line != m_Lines.rend(); ++line)
        if (startsWith(*line, prefix))
            return *line;
    return "";
}

bool GameProcess::waitForLatest(const std::string& prefix, const std::string& line, std::chrono::milliseconds patience)
{
    const Clock::time_point deadline = Clock::now() + patience;
    while (latest(prefix) != line)
        if (!readMore(deadline))
            return false;
    return true;
}

int GameProcess::waitExit()
{
    const Clock::time_point deadline = Clock::now() + m_Patience;
    while (Clock::now() < deadline)
    {
        int status = 0;
        if (waitpid(m_Pid, &status, WNOHANG) == m_Pid)
        {
            m_Pid = -1;
            if (WIFEXITED(status))
                return WEXITSTATUS(status);
            ADD_FAILURE() << m_Program << " ended by signal " << WTERMSIG(status);
            return -1;
        }
        usleep(20000);
    }
    ADD_FAILURE() << m_Program << " still runs after " << m_Patience.count() << " s";
    return -1;
}

bool GameProcess::findWindow(const std::string& titleRegex)
{
    std::istringstream ids(
        xdotool("search --sync --onlyvisible --pid " + std::to_string(m_Pid) + " --name '" + titleRegex + "'"));
    ids >> m_Window;
    const std::string geometry = m_Window.empty() ? "" : xdotool("getwindowgeometry " + m_Window);
    const std::size_t position = geometry.find("Position:");
    if (position == std::string::npos ||
        std::sscanf(geometry.c_str() + position, "Position: %d,%d", &m_OriginX, &m_OriginY) != 2)
    {
        ADD_FAILURE() << "no visible window titled '" << titleRegex << "' (xdotool said: " << geometry << ")";
        return false;
    }
    xdotool("windowfocus --sync " + m_Window);
    return true;
}

void GameProcess::moveTo(int x, int y) const
{
    xdotool("mousemove --sync " + std::to_string(m_OriginX + x) + " " + std::to_string(m_OriginY + y));
}

std::string GameProcess::xdotool(const std::string& arguments)
{
    std::string output;
    FILE* pipe = popen(("timeout 20 xdotool " + arguments + " 2>/dev/null").c_str(), "r");
    if (!pipe)
        return output;
    char chunk[256];
    while (std::fgets(chunk, sizeof chunk, pipe))
        output += chunk;
    pclose(pipe);
    return output;
}

std::map<std::string, std::pair<int, int>> GameProcess::cellPoints(const std::string& line)
{
    std::map<std::string, std::pair<int, int>> points;
    std::istringstream words(line);
    for (std::string word; words >> word;)
    {
        const std::size_t first = word.find(':'), second = word.find(':', first + 1);
        if (second != std::string::npos)
            points[word.substr(0, first)] = {std::atoi(word.c_str() + first + 1), std::atoi(word.c_str() + second + 1)};
    }
    return points;
}

bool GameProcess::clickCell(const std::string& window, const std::pair<int, int>& point, const std::string& cell)
{
    const std::string hover = "hover " + cell;
    for (int attempt = 0; attempt < 6 && latest("hover ") != hover; ++attempt)
    {
        xdotool("mousemove --window " + window + " " + std::to_string(point.first + attempt % 2) + " " +
                std::to_string(point.second));
        waitForLatest("hover ", hover, std::chrono::seconds(5 + 5 * attempt));
    }
    if (latest("hover ") != hover)
        return false;
    xdotool("click 1");
    return true;
}

std::vector<std::string> GameProcess::only(const std::vector<std::string>& lines, const std::string& prefix)
{
    std::vector<std::string> kept;
    for (const std::string& line : lines)
        if (startsWith(line, prefix))
            kept.push_back(line);
    return kept;
}

} // namespace TabulaTest
