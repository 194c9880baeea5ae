#include "Core/Log.h"

#include <iostream>
#include <utility>

namespace Core
{

namespace
{

// Built when the library is loaded, so it outlives the singletons (made
// later, on first use) whose destructors may still write lines at exit.
LogHandler s_Handler;

} // namespace

void log(LogLevel level, const char* source, const std::string& text)
{
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

} // namespace Core
