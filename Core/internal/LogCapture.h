#pragma once

#include <string>
#include <vector>

#include <Core/Log.h>

namespace Core
{

/// Holds back every line the library writes while it lives, instead of
/// sending it to the handler, so that the caller can decide afterwards whether
/// the lines are worth showing (and resend them with Core::log). Captures
/// nest: the innermost one takes the lines. Game thread only, like every line.
class LogCapture
{
public:
    struct Line
    {
        LogLevel m_Level;
        std::string m_Source;
        std::string m_Text;

        bool operator==(const Line& other) const
        {
            return m_Level == other.m_Level && m_Source == other.m_Source && m_Text == other.m_Text;
        }
    };

    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    const std::vector<Line>& getLines() const { return m_Lines; }

    /// Sends `lines` on, as if they had just been written.
    static void resend(const std::vector<Line>& lines);

private:
    friend void log(LogLevel level, const char* source, const std::string& text);

    std::vector<Line> m_Lines;
    LogCapture* m_Outer;
};

} // namespace Core
