// Every line the library writes reaches an installed handler, and then
// nothing reaches the standard streams: the engine's set-up, a model and an
// image load, a shader that does not compile, a screenshot that cannot be
// written.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Reader/PNGWriter.h"
#include "Rendering/Image.h"
#include "Rendering/Mesh.h"
#include "Rendering/Shader.h"
#include "support/GLTestWindow.h"
#include "support/LogCapture.h"
#include "support/TestPaths.h"

namespace
{
using Level = Core::LogLevel;
using TabulaTest::dataPath;

TEST(LogGL, HandlerTakesEveryLineAndNothingIsPrinted)
{
    const std::string vertex = dataPath("shaders/textured.vert");
    const std::string fragment = dataPath("shaders/textured.frag");
    const std::string broken = dataPath("shaders/broken.frag");
    const std::string model = dataPath("models/node_cycle.gltf");
    const std::string picture = dataPath("images/cut.jpg");
    const std::string unwritable = dataPath("no-such-folder/shot.png");

    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    std::vector<TabulaTest::LogCapture::Line> lines;
    {
        TabulaTest::LogCapture log;
        TabulaTest::startEngine();
        Rendering::Mesh mesh(model);
        Rendering::Image image(picture);
        Rendering::Shader shader(vertex, broken);
        shader.init();
        const unsigned char pixel[3] = {0, 0, 0};
        Reader::writePNGFile(unwritable, pixel, 1, 1);
        lines = log.lines();
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");

    // Each line's level, source and start.
    const struct
    {
        Level m_Level;
        const char* m_Source;
        std::string m_Start;
    } expected[] = {
        {Level::Info, "Render", "Initializing OpenGL :  OK"},
        {Level::Info, "Render", "Initializing GLEW & Shader :  OK"},
        {Level::Info, "Shader", "Shader file \"" + vertex + "\" loaded."},
        {Level::Info, "Shader", "Shader file \"" + fragment + "\" loaded."},
        {Level::Warning, "GLTFReader", "[GLTFReader]> " + model + " : node "},
        {Level::Warning, "Mesh", "Couldn't load Mesh file : \"" + model + "\""},
        {Level::Error, "JPEGReader", "Premature end of JPEG file"},
        {Level::Info, "Image", "Image File : \"" + picture + "\" loaded."},
        {Level::Error, "Shader", "Can't compile shader \"" + broken + "\" : \n"},
        {Level::Warning, "PNGWriter", "Couldn't write file : \"" + unwritable + "\""},
    };
    std::string all;
    for (const auto& line : lines)
        all += line.m_Source + ": " + line.m_Text + "\n";
    ASSERT_EQ(lines.size(), std::size(expected)) << all;
    for (std::size_t i = 0; i < lines.size(); ++i)
    {
        SCOPED_TRACE(lines[i].m_Text);
        EXPECT_EQ(lines[i].m_Level, expected[i].m_Level);
        EXPECT_EQ(lines[i].m_Source, expected[i].m_Source);
        EXPECT_EQ(lines[i].m_Text.compare(0, expected[i].m_Start.size(), expected[i].m_Start), 0);
    }
}

} // namespace
