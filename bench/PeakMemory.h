#pragma once

#include <functional>
#include <string>

// Peak memory (and time) of one load in a fresh process: the benchmark runs
// itself again with "<mode> <arguments>" (a mode such as "--peak"), and that
// child loads the model once and reports. A fresh process is what a game is
// when it loads its models at start-up: nothing of an earlier load is left in
// its heap.
namespace Bench
{

struct FreshLoad
{
    double m_PeakMiB = -1; // growth of the peak resident size during the load
    double m_Seconds = -1; // wall time of the load
};

/// What `command` prints on its standard output; empty when it fails.
std::string childOutput(const std::string& command);

/// Parent side: runs `self <mode> <arguments>` and reads what it reports
/// (both -1 when it failed).
FreshLoad measureInChild(const std::string& self, const std::string& mode, const std::string& arguments);

/// Child side: runs `warmUp` (when given) and then `load` once with the
/// standard output silenced, prints what `load` took and returns the
/// process's exit status.
int reportFreshLoad(const std::function<bool()>& load, const std::function<void()>& warmUp = {});

} // namespace Bench
