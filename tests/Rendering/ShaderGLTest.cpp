// Shaders, and the textures the engine's shader samples.
#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <GL/glext.h>
#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "Core/ImageManager.h"
#include "Rendering/Image.h"
#include "Rendering/Render.h"
#include "Rendering/Shader.h"
#include "Rendering/Texture.h"
#include "support/GLTestWindow.h"
#include "support/TestPaths.h"

namespace
{
std::string shaderPath(const std::string& name)
{
    return TabulaTest::dataPath("shaders/" + name);
}

// The engine's shader must be set before the engine's OpenGL set-up builds it.
Rendering::Shader& engineShader()
{
    static Rendering::Shader shader(shaderPath("textured.vert"), shaderPath("textured.frag"));
    return shader;
}

void startEngine(Rendering::Shader* shader = &engineShader())
{
    Rendering::Render::instance()->setShader(&engineShader());
    TabulaTest::initEngine();
    Rendering::Render::instance()->setShader(shader);
}

struct Built
{
    std::unique_ptr<Rendering::Shader> shader;
    std::string out;
    std::string err;
};

Built build(const std::string& vertex, const std::string& fragment)
{
    startEngine();
    Built built;
    built.shader.reset(new Rendering::Shader(vertex, fragment));
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    built.shader->init();
    built.err = testing::internal::GetCapturedStderr();
    built.out = testing::internal::GetCapturedStdout();
    return built;
}

// Images first registered after the engine's set-up are not uploaded by it.
std::unique_ptr<Rendering::Texture> texture(const std::string& name)
{
    testing::internal::CaptureStdout();
    std::unique_ptr<Rendering::Texture> made(new Rendering::Texture(TabulaTest::dataPath(name)));
    testing::internal::GetCapturedStdout();
    for (Rendering::Image* image : {made->getImage(), made->getNormalMap()})
        if (image != nullptr && image->getId() == 0)
            image->initGL();
    return made;
}

GLint integer(GLenum name)
{
    GLint value = 0;
    glGetIntegerv(name, &value);
    return value;
}

GLuint boundOn(GLenum unit)
{
    const GLint active = integer(GL_ACTIVE_TEXTURE);
    glActiveTexture(unit);
    const GLuint bound = static_cast<GLuint>(integer(GL_TEXTURE_BINDING_2D));
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

// The first texel of the texture the image of `texture` uploaded, as RGB.
std::array<unsigned char, 3> firstTexel(const Rendering::Texture& texture)
{
    std::vector<unsigned char> pixels(3 * texture.getImage()->getWidth() * texture.getImage()->getHeight());
    glBindTexture(GL_TEXTURE_2D, texture.getImage()->getId());
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    return {pixels[0], pixels[1], pixels[2]};
}

} // namespace

TEST(ShaderGL, BuildsFromTwoFilesAndReportsEachFailure)
{
    startEngine();
    EXPECT_TRUE(Rendering::Shader::shaderIsAvailable());

    const std::string vertex = shaderPath("textured.vert");
    const std::string fragment = shaderPath("textured.frag");
    Built good = build(vertex, fragment);
    EXPECT_EQ(good.out, "Shader file \"" + vertex + "\" loaded.\nShader file \"" + fragment + "\" loaded.\n");
    EXPECT_EQ(good.err, "");
    ASSERT_NE(good.shader->getProgram(), 0u);
    good.shader->apply();
    EXPECT_EQ(static_cast<GLuint>(integer(GL_CURRENT_PROGRAM)), good.shader->getProgram());
    Rendering::Shader::unApply();
    EXPECT_EQ(integer(GL_CURRENT_PROGRAM), 0);

    const std::string broken = shaderPath("broken.frag");
    Built bad = build(vertex, broken);
    const std::string head = "Can't compile shader \"" + broken + "\" : \n";
    ASSERT_EQ(bad.err.compare(0, head.size(), head), 0) << bad.err;
    EXPECT_GT(bad.err.size(), head.size() + 2) << "the compiler's log follows";
    EXPECT_EQ(bad.err.back(), '\n');
    EXPECT_EQ(bad.out, "");
    EXPECT_EQ(bad.shader->getProgram(), 0u);

    const std::string missingVertex = shaderPath("missing.vert");
    const std::string missingFragment = shaderPath("missing.frag");
    Built missing = build(missingVertex, missingFragment);
    EXPECT_EQ(missing.out, "Couldn't find/load Shader : \"" + missingVertex + "\"\nCouldn't find/load Shader : \"" +
                               missingFragment + "\"\n");
    EXPECT_EQ(missing.shader->getProgram(), 0u);
    missing.shader->apply();
    EXPECT_EQ(integer(GL_CURRENT_PROGRAM), 0);

    std::unique_ptr<char[]> empty(missing.shader->load(shaderPath("empty.frag")));
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(empty[0], '\0');
}

// What the setters write is read back through OpenGL itself.
TEST(ShaderGL, SettersAndGettersGoThroughTheUniforms)
{
    Built built = build(shaderPath("textured.vert"), shaderPath("params.frag"));
    Rendering::Shader& shader = *built.shader;
    const GLuint program = shader.getProgram();
    const auto uniform = [program](const char* name)
    {
        float value[16] = {};
        glGetUniformfv(program, glGetUniformLocation(program, name), value);
        return std::vector<float>(value, value + 16);
    };
    shader.apply();
    shader.setParameter3f("tint", 1.0f, 2.0f, 3.0f);
    EXPECT_EQ(uniform("tint")[2], 3.0f);
    float weights[4] = {1.0f, 2.0f, 3.0f, 4.0f};
    shader.setParameterArray1f("weights", 4, weights);
    EXPECT_EQ(uniform("weights[3]")[0], 4.0f);
    float nine = 9.0f;
    shader.setParameter1fv("weights", &nine); // one element only
    EXPECT_EQ(uniform("weights[1]")[0], 2.0f);
    float last = 0.0f;
    shader.getParameterArray1f("weights", 4, &last);
    EXPECT_EQ(last, 9.0f);
    float rows[16];
    for (int i = 0; i < 16; ++i)
        rows[i] = static_cast<float>(i);
    shader.setParameter4x4fr("transform", rows);
    EXPECT_EQ(uniform("transform")[1], rows[4]); // stored in column order
    shader.setParameter4x4fc("transform", rows);
    EXPECT_EQ(uniform("transform")[1], rows[1]);
    // Every getter reads the whole uniform as OpenGL holds it.
    using Getter = void (Rendering::Shader::*)(const char*, float*);
    for (Getter get : {&Rendering::Shader::getParameter1f, &Rendering::Shader::getParameter2f,
                       &Rendering::Shader::getParameter3f, &Rendering::Shader::getParameter4f,
                       &Rendering::Shader::getParameter4x4fr, &Rendering::Shader::getParameter4x4fc})
    {
        float out[16] = {};
        (shader.*get)("transform", out);
        EXPECT_EQ(std::vector<float>(out, out + 16), uniform("transform"));
    }

    Rendering::Shader::unApply();
}

TEST(ShaderGLDeathTest, UnknownUniformEndsTheProcess)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            startEngine();
            Rendering::Shader shader(shaderPath("textured.vert"), shaderPath("params.frag"));
            shader.init();
            shader.apply();
            shader.setParameter1f("nothing", 1.0f);
        },
        testing::ExitedWithCode(1), "ERROR: \"nothing\" unknown parameter...");
}

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
    EXPECT_EQ(integer(GL_ACTIVE_TEXTURE), GL_TEXTURE0);
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
    testing::internal::CaptureStdout();
    Rendering::Texture missing(TabulaTest::dataPath("images/missing.png"));
    testing::internal::GetCapturedStdout();
    EXPECT_FALSE(missing.isLoaded());
    missing.apply();
    EXPECT_EQ(boundOn(GL_TEXTURE0), 0u);

    // Without the engine's shader only the image is bound, on the active unit.
    Rendering::Render::instance()->setShader(nullptr);
    glActiveTexture(GL_TEXTURE2);
    glUniform1i(glGetUniformLocation(engineShader().getProgram(), "NormalsID"), 5);
    wood->apply();
    EXPECT_EQ(integer(GL_ACTIVE_TEXTURE), GL_TEXTURE2);
    EXPECT_EQ(boundOn(GL_TEXTURE2), wood->getImage()->getId());
    EXPECT_EQ(sampler("NormalsID"), 5);
    Rendering::Texture::unApply();
    EXPECT_EQ(boundOn(GL_TEXTURE2), 0u);
    glActiveTexture(GL_TEXTURE0);
    Rendering::Render::instance()->setShader(&engineShader());
    Rendering::Shader::unApply();
}

TEST(TextureGL, TexturesOfOneFileShareTheImageUntilTheLastIsDestroyed)
{
    startEngine(nullptr);
    Core::ImageManager* manager = Core::ImageManager::instance();
    const uint64_t before = manager->getTotalMemoryUsed();
    auto first = texture("images/plain.png");
    auto second = texture("images/plain.png");
    EXPECT_EQ(first->getImage(), second->getImage());
    EXPECT_EQ(manager->getTotalMemoryUsed(), before + 12);
    const GLuint name = second->getImage()->getId();

    const std::array<unsigned char, 3> colour = {40, 80, 120};
    EXPECT_EQ(firstTexel(*second), colour);
    first.reset();
    EXPECT_EQ(manager->getTotalMemoryUsed(), before + 12);
    EXPECT_EQ(firstTexel(*second), colour);
    EXPECT_TRUE(glIsTexture(name));
    second.reset();
    EXPECT_EQ(manager->getTotalMemoryUsed(), before);
    EXPECT_FALSE(glIsTexture(name));

    // The normal map is shared and given back the same way.
    auto wood = texture("images/wood.png");
    auto woodAgain = texture("images/wood.png");
    EXPECT_EQ(wood->getNormalMap(), woodAgain->getNormalMap());
    EXPECT_EQ(manager->getTotalMemoryUsed(), before + 24);
    wood.reset();
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
            Rendering::Shader lacking(shaderPath("textured.vert"), shaderPath("no_normals.frag"));
            testing::internal::CaptureStdout();
            lacking.init();
            testing::internal::GetCapturedStdout();
            Rendering::Render::instance()->setShader(&lacking);
            lacking.apply();
            texture("images/plain.png")->apply();
        },
        testing::ExitedWithCode(1), "ERROR: \"NormalsID\" unknown parameter...");
}
