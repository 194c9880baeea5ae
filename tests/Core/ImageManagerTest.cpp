#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>

#include "Core/ImageManager.h"
#include "Rendering/Image.h"
#include "support/TestPaths.h"

namespace
{

Core::ImageManager* manager()
{
    return Core::ImageManager::instance();
}

Rendering::Image* add(const std::string& name, std::string* output = nullptr)
{
    Rendering::Image* image = nullptr;
    testing::internal::CaptureStdout();
    manager()->addImage(name, image);
    const std::string text = testing::internal::GetCapturedStdout();
    if (output != nullptr)
        *output = text;
    return image;
}

struct ChildResult
{
    int status = -1;
    std::string output;
};

ChildResult runChild(const std::string& mode)
{
    const std::string log = TabulaTest::buildPath("ImageMemoryChild-" + mode + ".log");
    const std::string command = TabulaTest::buildPath("ImageMemoryChild") + " " + mode + " " +
                                TabulaTest::dataPath("images") + " > " + log + " 2>&1";
    ChildResult result;
    const int raw = std::system(command.c_str());
    if (WIFEXITED(raw))
        result.status = WEXITSTATUS(raw);
    std::ifstream file(log);
    std::stringstream text;
    text << file.rdbuf();
    result.output = text.str();
    return result;
}

} // namespace

TEST(ImageManager, SharesOneImagePerNameAndCountsItsUsers)
{
    const uint64_t before = manager()->getTotalMemoryUsed();
    EXPECT_EQ(std::get_new_handler(), &Core::ImagesManagerNewHandler);
    const std::string wood = TabulaTest::dataPath("images/wood.png");
    std::string output;
    Rendering::Image* first = add(wood, &output);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(output, "Image File : \"" + wood + "\" loaded.\n");
    Rendering::Image* second = add(wood, &output);
    EXPECT_EQ(output, "");
    EXPECT_EQ(second, first);
    EXPECT_EQ(manager()->getTotalMemoryUsed(), before + 12);

    // Another spelling of the same file is another image.
    const std::string dotted = TabulaTest::dataPath("images/./wood.png");
    Rendering::Image* other = add(dotted);
    ASSERT_NE(other, nullptr);
    EXPECT_NE(other, first);
    EXPECT_EQ(manager()->getTotalMemoryUsed(), before + 24);
    manager()->removeImage(other);

    manager()->removeImage(first);
    EXPECT_EQ(manager()->getTotalMemoryUsed(), before + 12);
    EXPECT_EQ(second->getWidth(), 2); // still alive for its other user
    manager()->removeImage(second);
    EXPECT_EQ(manager()->getTotalMemoryUsed(), before);

    // Gone for good: the next request loads the file again.
    Rendering::Image* again = add(wood, &output);
    EXPECT_EQ(output, "Image File : \"" + wood + "\" loaded.\n");
    manager()->removeImage(again);

    const std::string missing = TabulaTest::dataPath("images/missing.png");
    EXPECT_EQ(add(missing, &output), nullptr);
    EXPECT_NE(output.find("Couldn't load Image file"), std::string::npos);
    add(missing, &output);
    EXPECT_NE(output.find("Couldn't load Image file"), std::string::npos);
    manager()->removeImage(nullptr);
    EXPECT_EQ(manager()->getTotalMemoryUsed(), before);
}

TEST(ImageManager, RecoveryHalvesEveryImageAndReportsWholeMebibytes)
{
    const uint64_t before = manager()->getTotalMemoryUsed();
    Rendering::Image* big = add(TabulaTest::dataPath("images/big.png"));
    ASSERT_NE(big, nullptr);
    EXPECT_EQ(manager()->getTotalMemoryUsed(), before + 2048 * 2048 * 4);
    testing::internal::CaptureStdout();
    manager()->manageMemory();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Recovered memory : 12 Mo.\n");
    EXPECT_EQ(manager()->getTotalMemoryUsed(), before + 1024 * 1024 * 4);
    manager()->removeImage(big);
    EXPECT_EQ(manager()->getTotalMemoryUsed(), before);
}

TEST(ImageManager, RealShortageIsRelievedOnceThenEndsTheProcess)
{
    const ChildResult result = runChild("recover");
    EXPECT_EQ(result.status, 255);
    EXPECT_EQ(result.output, "Image File : \"" + TabulaTest::dataPath("images/big.png") +
                                 "\" loaded.\n"
                                 "Image File : \"" +
                                 TabulaTest::dataPath("images/small.png") +
                                 "\" loaded.\n"
                                 "total 16777408\n"
                                 "Recovered memory : 12 Mo.\n"
                                 "allocated 14 MiB\n"
                                 "Already Reduced ...\n"
                                 "Already Reduced ...\n"
                                 "Not enought memory, This application will be closed !\n"
                                 "total 4194352\n");
}

TEST(ImageManager, ShortageWithoutImagesEndsTheProcess)
{
    const ChildResult result = runChild("empty");
    EXPECT_EQ(result.status, 255);
    EXPECT_EQ(result.output, "total 0\nNot enought memory, This application will be closed !\ntotal 0\n");
}

// Halving the big image runs short itself: it stays whole and counted, the
// small one is halved, and too little was freed.
TEST(ImageManager, ShortageDuringRecoveryLeavesTheTotalRight)
{
    const ChildResult result = runChild("nested");
    EXPECT_EQ(result.status, 255);
    const std::string tail = "total 16777408\nNot enought memory, This application will be closed !\ntotal 16777264\n";
    ASSERT_GE(result.output.size(), tail.size()) << result.output;
    EXPECT_EQ(result.output.substr(result.output.size() - tail.size()), tail) << result.output;
}
