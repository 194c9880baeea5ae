// Every line the library writes reaches an installed handler, and then
// nothing reaches the standard streams: the engine's set-up, a model and an
// image load, a shader that does not compile, a screenshot that cannot be
// written.
//
// The mistakes a game's author makes with assets, each answered by the lines
// that say what went wrong, and by nothing else, however often it is asked.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Reader/PNGWriter.h"
#include "Rendering/Image.h"
#include "Rendering/Mesh.h"
#include "Rendering/Shader.h"
#include "Rendering/Texture.h"
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

// What the loaders write while `act` runs: every Warning and Error line.
std::vector<std::string> problemsOf(const std::function<void()>& act)
{
    TabulaTest::LogCapture log;
    act();
    std::vector<std::string> lines;
    for (const TabulaTest::LogCapture::Line& line : log.lines())
        if (line.m_Level == Level::Warning || line.m_Level == Level::Error)
            lines.push_back(line.m_Text);
    return lines;
}

void buildShader(const std::string& vertex, const std::string& fragment)
{
    TabulaTest::initEngine();
    Rendering::Shader(dataPath("shaders/" + vertex), dataPath("shaders/" + fragment)).init();
}

TEST(LogGL, EachBadInputGivesItsLinesOnce)
{
    const std::string jpegAsPNG = dataPath("images/jpeg_named.png");
    const std::string pngAsJPEG = dataPath("images/png_named.jpg");
    const std::string cut = dataPath("images/short.png");
    const std::string empty = dataPath("models/empty.obj");
    const std::string noFaces = dataPath("models/no_faces.obj");
    const struct
    {
        const char* what;
        std::function<void()> act;
        // Each line is compared as a prefix: compiler logs follow the heads.
        std::vector<std::string> lines;
    } cases[] = {
        {"a model of an unknown format",
         [] { Rendering::Mesh("piece.stl"); },
         {"Unsupported format ... (supported format : .ase / .gltf / .glb / .obj)",
          "Couldn't load Mesh file : \"piece.stl\""}},
        {"a JPEG named .png loads as a JPEG",
         [&] { EXPECT_TRUE(Rendering::Image(jpegAsPNG).isLoaded()); },
         {"Image file \"" + jpegAsPNG + "\" is really a JPEG file: read as JPEG."}},
        {"a PNG named .jpg loads as a PNG",
         [&] { EXPECT_TRUE(Rendering::Image(pngAsJPEG).isLoaded()); },
         {"Image file \"" + pngAsJPEG + "\" is really a PNG file: read as PNG."}},
        {"a broken texture on a board and its 64 squares",
         [&]
         {
             std::vector<std::unique_ptr<Rendering::Texture>> textures;
             for (int square = 0; square < 65; ++square)
                 textures.emplace_back(new Rendering::Texture(cut));
             EXPECT_FALSE(textures.back()->isLoaded());
         },
         {"Error in header.", "Couldn't load Image file : \"" + cut + "\""}},
        {"an empty file named .obj",
         [&] { EXPECT_TRUE(Rendering::Mesh(empty).getGeometries().empty()); },
         {"[ModelReader]> " + empty + " : no faces, lines or points", "Couldn't load Mesh file : \"" + empty + "\""}},
        {"an OBJ file with materials and no geometry",
         [&] { Rendering::Mesh mesh(noFaces); },
         {"[ModelReader]> " + noFaces + " : no faces, lines or points",
          "Couldn't load Mesh file : \"" + noFaces + "\""}},
        {"both shader stages broken: both logs",
         [] { buildShader("broken.vert", "broken.frag"); },
         {"Can't compile shader \"" + dataPath("shaders/broken.vert") + "\" : \n",
          "Can't compile shader \"" + dataPath("shaders/broken.frag") + "\" : \n"}},
        {"stages that compile but do not link",
         [] { buildShader("no_main.vert", "textured.frag"); },
         {"Can't link shaders \"" + dataPath("shaders/no_main.vert") + "\" and \"" + dataPath("shaders/textured.frag") +
          "\" : \n"}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        const std::vector<std::string> lines = problemsOf(c.act);
        ASSERT_EQ(lines.size(), c.lines.size()) << (lines.empty() ? "" : lines.front());
        for (std::size_t i = 0; i < lines.size(); ++i)
        {
            EXPECT_EQ(lines[i].compare(0, c.lines[i].size(), c.lines[i]), 0) << lines[i];
            // A compiler's or linker's log is never left out.
            if (c.lines[i].back() == '\n')
            {
                EXPECT_GT(lines[i].size(), c.lines[i].size() + 2) << lines[i];
            }
        }
    }
}

} // namespace
