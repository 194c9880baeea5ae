#pragma once

#include <map>
#include <string>
#include <vector>

#include <Core/internal/LogCapture.h>

namespace Core
{

/// Loading by name for the managers, so that a file that fails prints its
/// reason once however many squares or pieces ask for it. Every request still
/// tries the file (one mended meanwhile loads), but a failure that writes
/// exactly the lines of the previous failure of that name stays quiet.
class QuietRetry
{
public:
    /// Runs `load` (returning true on success) and passes its lines on unless
    /// it failed with the same lines as last time.
    template <typename Load>
    bool run(const std::string& name, Load load)
    {
        std::vector<LogCapture::Line> lines;
        bool loaded;
        {
            LogCapture capture;
            loaded = load();
            lines = capture.getLines();
        }
        auto previous = m_Failures.find(name);
        const bool repeated = !loaded && previous != m_Failures.end() && previous->second == lines;
        if (!repeated)
            LogCapture::resend(lines);
        if (loaded)
        {
            if (previous != m_Failures.end())
                m_Failures.erase(previous);
        }
        else
            m_Failures[name] = std::move(lines);
        return loaded;
    }

private:
    std::map<std::string, std::vector<LogCapture::Line>> m_Failures;
};

} // namespace Core
