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

} // namespace

TEST(ImageManager, SharesOneImagePerNameAndCountsItsUsers)
{
    const uint64_t before = manager()->getTotalMemoryUsed();
    const std::string wood = TabulaTest::dataPath("images/wood.png");
    std::string output;
    Rendering::Image* first = add(wood, &output);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(output, "Image File : \"" + wood + "\" loaded.\n");
    Rendering::Image* second = add(wood, &output);
    EXPECT_EQ(output, "");
    EXPECT_EQ(second, first);
    EXPECT_EQ(manager()->getTotalMemoryUsed(), before + 12);

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
    manager()->removeImage(nullptr);
    EXPECT_EQ(manager()->getTotalMemoryUsed(), before);
}

// A child process runs each shortage (ImageMemoryChild) with its address
// space limited: recovery halves every image and reports whole mebibytes; the
// process ends with status 255 once it cannot help.
TEST(ImageManager, RealShortageIsRelievedOnceThenEndsTheProcess)
{
#ifdef TABULA_SANITIZED
    GTEST_SKIP() << "AddressSanitizer's allocator never calls a new handler, and its shadow memory defeats "
                    "RLIMIT_AS: no real shortage can be made";
#endif
    const std::string big = TabulaTest::dataPath("images/big.png");
    const std::string small = TabulaTest::dataPath("images/small.png");
    const std::string loaded = "Image File : \"" + big + "\" loaded.\nImage File : \"" + small + "\" loaded.\n";
    const std::string closing = "Not enought memory, This application will be closed !\n";
    const std::pair<const char*, std::string> cases[] = {
        {"recover", loaded +
                        "total 16777408\nRecovered memory : 12 Mo.\nallocated 14 MiB\nAlready Reduced ...\n"
                        "Already Reduced ...\n" +
                        closing + "total 4194352\n"},
        {"empty", "total 0\n" + closing + "total 0\n"},
        // Halving the big image runs short itself: it stays whole and counted,
        // the small one is halved, and too little was freed.
        {"nested", loaded + "total 16777408\n" + closing + "total 16777264\n"},
    };
    for (const auto& c : cases)
    {
        const std::string log = TabulaTest::buildPath(std::string("ImageMemoryChild-") + c.first + ".log");
        const int raw = std::system((TabulaTest::buildPath("ImageMemoryChild") + " " + c.first + " " +
                                     TabulaTest::dataPath("images") + " > " + log + " 2>&1")
                                        .c_str());
        EXPECT_TRUE(WIFEXITED(raw) && WEXITSTATUS(raw) == 255) << c.first << " " << raw;
        std::stringstream output;
        output << std::ifstream(log).rdbuf();
        EXPECT_EQ(output.str(), c.second) << c.first;
    }
}
