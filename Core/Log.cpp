#include "Core/Log.h"

#include <iostream>
#include <utility>

#include "Core/internal/LogCapture.h"

namespace Core
{

namespace
{

// Built when the library is loaded, so it outlives the singletons (made
// later, on first use) whose destructors may still write lines at exit.
LogHandler s_Handler;
LogCapture* s_Capture = nullptr;

} // namespace

void log(LogLevel level, const char* source, const std::string& text)
{
    if (s_Capture != nullptr)
    {
        s_Capture->m_Lines.push_back({level, source, text});
        return;
    }
    if (s_Handler)
    {
        s_Handler(level, source, text);
        return;
    }
    if (level == LogLevel::Debug)
        return;
    std::ostream& stream = level == LogLevel::Error ? std::cerr : std::cout;
    stream << text << std::endl;
}

void setLogHandler(LogHandler handler)
{
    s_Handler = std::move(handler);
}

LogCapture::LogCapture() : m_Outer(s_Capture)
{
    s_Capture = this;
}

LogCapture::~LogCapture()
{
    s_Capture = m_Outer;
}

void LogCapture::resend(const std::vector<Line>& lines)
{
    for (const Line& line : lines)
        log(line.m_Level, line.m_Source.c_str(), line.m_Text);
}

} // namespace Core
