#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Core/Log.h"

namespace
{

TEST(Log, DefaultHandlerPrintsEachLevelOnItsStream)
{
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    Core::log(Core::LogLevel::Info, "Test", "info line");
    Core::log(Core::LogLevel::Warning, "Test", "warning line");
    Core::log(Core::LogLevel::Error, "Test", "error line");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "error line\n");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "info line\nwarning line\n");
}

// Each line's level, source and text reaching the handler is LogGLTest's.
TEST(Log, InstalledHandlerTakesEveryLineUntilTheDefaultIsRestored)
{
    std::vector<std::string> lines;
    Core::setLogHandler([&lines](Core::LogLevel, const char*, const std::string& text) { lines.push_back(text); });
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    Core::log(Core::LogLevel::Warning, "Image", "a");
    Core::log(Core::LogLevel::Error, "Shader", "b");
    Core::setLogHandler(nullptr);
    Core::log(Core::LogLevel::Info, "Render", "c");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "c\n");
    EXPECT_EQ(lines, (std::vector<std::string>{"a", "b"}));
}

} // namespace
