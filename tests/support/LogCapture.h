#pragma once

#include <string>
#include <vector>

#include <Core/Log.h>

namespace TabulaTest
{

/// Takes every line the library logs while it lives, in place of the default
/// handler, which is back once it goes. Captures nest: an inner one's lines
/// also reach the ones around it.
class LogCapture
{
public:
    struct Line
    {
        Core::LogLevel m_Level;
        std::string m_Source;
        std::string m_Text;
    };

    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    const std::vector<Line>& lines() const { return m_Lines; }
    /// What the default handler would have printed on the standard output
    /// (Info and Warning lines, each with its newline).
    std::string out() const;
    /// The same for the standard error (Error lines).
    std::string err() const;

private:
    void install();

    std::vector<Line> m_Lines;
    LogCapture* m_Outer;
};

/// What `action` returns, with the lines the library logs meanwhile kept out
/// of the test's output.
template <class Action>
auto quietly(const Action& action)
{
    LogCapture quiet;
    return action();
}

} // namespace TabulaTest
