// Textures: the picture and normal map they load and the units and samplers
// the engine shader reads them through.
#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <GL/glext.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "Core/ImageManager.h"
#include "Rendering/Image.h"
#include "Rendering/Render.h"
#include "Rendering/Shader.h"
#include "Rendering/Texture.h"
#include "support/GLTestWindow.h"
#include "support/LogCapture.h"
#include "support/TestPaths.h"

namespace
{
using TabulaTest::engineShader;
using TabulaTest::startEngine;

// Images first registered after the engine's set-up are not uploaded by it.
std::unique_ptr<Rendering::Texture> texture(const std::string& name)
{
    auto made = TabulaTest::quietly([&] { return std::make_unique<Rendering::Texture>(TabulaTest::dataPath(name)); });
    for (Rendering::Image* image : {made->getImage(), made->getNormalMap()})
        if (image != nullptr && image->getId() == 0)
            image->initGL();
    return made;
}

GLuint boundOn(GLenum unit)
{
    const GLint active = TabulaTest::glInteger(GL_ACTIVE_TEXTURE);
    glActiveTexture(unit);
    const GLuint bound = static_cast<GLuint>(TabulaTest::glInteger(GL_TEXTURE_BINDING_2D));
    glActiveTexture(static_cast<GLenum>(active));
    return bound;
}

GLint sampler(const char* name)
{
    const GLuint program = engineShader().getProgram();
    GLint value = -1;
    glGetUniformiv(program, glGetUniformLocation(program, name), &value);
    return value;
}

} // namespace

TEST(TextureGL, NormalMapNameTakesTheLastDot)
{
    EXPECT_EQ(Rendering::Texture::normalMapName("wood.png"), "wood_normal.png");
    EXPECT_EQ(Rendering::Texture::normalMapName("my.dir/wood.png"), "my.dir/wood_normal.png");
    EXPECT_EQ(Rendering::Texture::normalMapName("noext"), "noext_normal");
}

TEST(TextureGL, ApplyWithTheEngineShaderSetsUnitsAndSamplers)
{
    startEngine();
    ASSERT_TRUE(Rendering::Render::instance()->hasShaderAvailable());
    ASSERT_NE(engineShader().getProgram(), 0u);
    engineShader().apply();

    auto wood = texture("images/wood.png");
    ASSERT_TRUE(wood->isLoaded());
    ASSERT_NE(wood->getNormalMap(), nullptr);
    glUniform1i(glGetUniformLocation(engineShader().getProgram(), "NormalsID"), 5);
    glUniform1i(glGetUniformLocation(engineShader().getProgram(), "TextureID"), 5);
    wood->apply();
    EXPECT_EQ(TabulaTest::glInteger(GL_ACTIVE_TEXTURE), GL_TEXTURE0);
    EXPECT_EQ(boundOn(GL_TEXTURE0), wood->getImage()->getId());
    EXPECT_EQ(boundOn(GL_TEXTURE1), wood->getNormalMap()->getId());
    EXPECT_EQ(sampler("TextureID"), 0);
    EXPECT_EQ(sampler("NormalsID"), 1);

    // Without a normal map beside it, unit 1 is emptied and still named.
    auto plain = texture("images/plain.png");
    EXPECT_EQ(plain->getNormalMap(), nullptr);
    glUniform1i(glGetUniformLocation(engineShader().getProgram(), "NormalsID"), 5);
    plain->apply();
    EXPECT_EQ(boundOn(GL_TEXTURE1), 0u);
    EXPECT_EQ(sampler("NormalsID"), 1);

    // A texture whose file did not load binds nothing.
    TabulaTest::LogCapture quiet;
    Rendering::Texture missing(TabulaTest::dataPath("images/missing.png"));
    EXPECT_FALSE(missing.isLoaded());
    missing.apply();
    EXPECT_EQ(boundOn(GL_TEXTURE0), 0u);

    // Without the engine's shader only the image is bound, on the active unit.
    Rendering::Render::instance()->setShader(nullptr);
    glActiveTexture(GL_TEXTURE2);
    glUniform1i(glGetUniformLocation(engineShader().getProgram(), "NormalsID"), 5);
    wood->apply();
    EXPECT_EQ(TabulaTest::glInteger(GL_ACTIVE_TEXTURE), GL_TEXTURE2);
    EXPECT_EQ(boundOn(GL_TEXTURE2), wood->getImage()->getId());
    EXPECT_EQ(sampler("NormalsID"), 5);
    Rendering::Texture::unApply();
    EXPECT_EQ(boundOn(GL_TEXTURE2), 0u);
    glActiveTexture(GL_TEXTURE0);
    Rendering::Render::instance()->setShader(&engineShader());
    Rendering::Shader::unApply();
}

// That the shared image stays uploaded for its other user and goes with its
// last is ImageManagerTest's and ImageGLTest's; here each texture takes and
// gives back its picture and its normal map once.
TEST(TextureGL, TexturesOfOneFileShareTheirImagesUntilTheLastIsDestroyed)
{
    startEngine(nullptr);
    Core::ImageManager* manager = Core::ImageManager::instance();
    const uint64_t before = manager->getTotalMemoryUsed();
    auto wood = texture("images/wood.png");
    auto woodAgain = texture("images/wood.png");
    EXPECT_EQ(wood->getImage(), woodAgain->getImage());
    EXPECT_EQ(wood->getNormalMap(), woodAgain->getNormalMap());
    EXPECT_EQ(manager->getTotalMemoryUsed(), before + 24);
    wood.reset();
    EXPECT_EQ(manager->getTotalMemoryUsed(), before + 24);
    woodAgain.reset();
    EXPECT_EQ(manager->getTotalMemoryUsed(), before);
    Rendering::Render::instance()->setShader(&engineShader());
}

TEST(TextureGLDeathTest, ShaderWithoutNormalsSamplerEndsTheProcessAtFirstApply)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            startEngine();
            Rendering::Shader lacking(TabulaTest::dataPath("shaders/textured.vert"),
                                      TabulaTest::dataPath("shaders/no_normals.frag"));
            TabulaTest::quietly([&] { lacking.init(); });
            Rendering::Render::instance()->setShader(&lacking);
            lacking.apply();
            texture("images/plain.png")->apply();
        },
        testing::ExitedWithCode(1), "ERROR: \"NormalsID\" unknown parameter...");
}
