// The mistakes a game's author makes with assets, each answered by the lines
// that say what went wrong, and by nothing else, however often it is asked.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Core/Log.h"
#include "Rendering/Image.h"
#include "Rendering/Mesh.h"
#include "Rendering/Shader.h"
#include "Rendering/Texture.h"
#include "support/GLTestWindow.h"
#include "support/TestPaths.h"

namespace
{

using TabulaTest::dataPath;

// What the loaders write while `act` runs: every Warning and Error line.
std::vector<std::string> problemsOf(const std::function<void()>& act)
{
    std::vector<std::string> lines;
    Core::setLogHandler(
        [&lines](Core::LogLevel level, const char*, const std::string& text)
        {
            if (level != Core::LogLevel::Info)
                lines.push_back(text);
        });
    act();
    Core::setLogHandler(nullptr);
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
