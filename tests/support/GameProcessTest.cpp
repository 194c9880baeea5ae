// The input harness's waits: each ends at its own deadline even when the
// child prints without pause, so a broken game fails a test in seconds
// instead of holding it until the suite's timeout.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include "support/GameProcess.h"

TEST(GameProcessTest, WaitsEndAtTheirDeadlineWhileOtherLinesKeepComing)
{
    // `yes frame` prints "frame" lines as fast as it can, for ever.
    TabulaTest::GameProcess chatter("/usr/bin/yes", {"frame"}, std::chrono::seconds(1));
    ASSERT_TRUE(chatter.started());
    EXPECT_TRUE(chatter.waitUntil("frame").empty());
    std::string line = "unchanged";
    EXPECT_NONFATAL_FAILURE(line = chatter.waitFor("highlight "), "no line starting with \"highlight \" within 1 s");
    EXPECT_EQ(line, "");
    EXPECT_NONFATAL_FAILURE(chatter.waitUntil("ready"), "no line \"ready\" within 1 s");
    EXPECT_NONFATAL_FAILURE(EXPECT_EQ(chatter.waitExit(), -1), "still runs after 1 s");
}
