#pragma once

#include <string>
#include <vector>

#include <Core/Log.h>

namespace TabulaTest
{

/// Collects the text of every line the library writes while it lives,
/// instead of printing it; the default handler is back afterwards.
class LogLines
{
public:
    LogLines()
    {
        Core::setLogHandler([this](Core::LogLevel, const char*, const std::string& text) { m_Lines.push_back(text); });
    }
    ~LogLines() { Core::setLogHandler(nullptr); }
    LogLines(const LogLines&) = delete;
    LogLines& operator=(const LogLines&) = delete;

    std::vector<std::string> m_Lines;
};

} // namespace TabulaTest
