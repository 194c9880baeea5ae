#include "support/LogCapture.h"

namespace TabulaTest
{

namespace
{
LogCapture* s_Innermost = nullptr;
}

LogCapture::LogCapture() : m_Outer(s_Innermost)
{
    s_Innermost = this;
    install();
}

LogCapture::~LogCapture()
{
    s_Innermost = m_Outer;
    if (m_Outer)
        m_Outer->install();
    else
        Core::setLogHandler(nullptr);
}

void LogCapture::install()
{
    Core::setLogHandler(
        [this](Core::LogLevel level, const char* source, const std::string& text)
        {
            for (LogCapture* capture = this; capture; capture = capture->m_Outer)
                capture->m_Lines.push_back({level, source, text});
        });
}

std::string LogCapture::out() const
{
    std::string text;
    for (const Line& line : m_Lines)
        if (line.m_Level == Core::LogLevel::Info || line.m_Level == Core::LogLevel::Warning)
            text += line.m_Text + "\n";
    return text;
}

std::string LogCapture::err() const
{
    std::string text;
    for (const Line& line : m_Lines)
        if (line.m_Level == Core::LogLevel::Error)
            text += line.m_Text + "\n";
    return text;
}

} // namespace TabulaTest
