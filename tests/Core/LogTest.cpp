#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Core/Log.h"

namespace
{

struct Line
{
    Core::LogLevel level;
    std::string source;
    std::string text;
};

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

TEST(Log, InstalledHandlerTakesEveryLineUntilTheDefaultIsRestored)
{
    std::vector<Line> lines;
    Core::setLogHandler([&lines](Core::LogLevel level, const char* source, const std::string& text) {
        lines.push_back({level, source, text});
    });
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    Core::log(Core::LogLevel::Warning, "Image", "a");
    Core::log(Core::LogLevel::Error, "Shader", "b");
    Core::setLogHandler(nullptr);
    Core::log(Core::LogLevel::Info, "Render", "c");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "c\n");

    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].level, Core::LogLevel::Warning);
    EXPECT_EQ(lines[0].source, "Image");
    EXPECT_EQ(lines[0].text, "a");
    EXPECT_EQ(lines[1].level, Core::LogLevel::Error);
    EXPECT_EQ(lines[1].source, "Shader");
    EXPECT_EQ(lines[1].text, "b");
}

} // namespace
