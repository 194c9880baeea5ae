#pragma once

#include <string>

namespace TabulaTest
{

/// Absolute path of a file under tests/data.
std::string dataPath(const std::string& relative);
/// Absolute path under the test build folder (for files a test writes).
std::string buildPath(const std::string& relative);

} // namespace TabulaTest
