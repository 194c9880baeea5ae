// Shaders built from files, their failures and their uniforms.
#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <GL/glext.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "Rendering/Render.h"
#include "Rendering/Shader.h"
#include "support/GLTestWindow.h"
#include "support/LogCapture.h"
#include "support/TestPaths.h"

namespace
{
using TabulaTest::engineShader;
using TabulaTest::startEngine;

std::string shaderPath(const std::string& name)
{
    return TabulaTest::dataPath("shaders/" + name);
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
    TabulaTest::LogCapture log;
    built.shader->init();
    built.err = log.err();
    built.out = log.out();
    return built;
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
    EXPECT_EQ(static_cast<GLuint>(TabulaTest::glInteger(GL_CURRENT_PROGRAM)), good.shader->getProgram());
    Rendering::Shader::unApply();
    EXPECT_EQ(TabulaTest::glInteger(GL_CURRENT_PROGRAM), 0);

    // A compile failure's line and log are LogGLTest's.
    Built bad = build(vertex, shaderPath("broken.frag"));
    EXPECT_EQ(bad.out, "");
    EXPECT_EQ(bad.shader->getProgram(), 0u);

    const std::string missingVertex = shaderPath("missing.vert");
    const std::string missingFragment = shaderPath("missing.frag");
    Built missing = build(missingVertex, missingFragment);
    EXPECT_EQ(missing.out, "Couldn't find/load Shader : \"" + missingVertex + "\"\nCouldn't find/load Shader : \"" +
                               missingFragment + "\"\n");
    EXPECT_EQ(missing.shader->getProgram(), 0u);

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

    // Each texture setter binds on its unit's target and names that unit.
    using Setter = void (Rendering::Shader::*)(const char*, unsigned int, unsigned int);
    const struct
    {
        Setter set;
        const char* name;
        GLenum binding;
    } samplers[] = {
        {&Rendering::Shader::setTexture1DParameter, "line", GL_TEXTURE_BINDING_1D},
        {&Rendering::Shader::setTexture2DParameter, "picture", GL_TEXTURE_BINDING_2D},
        {&Rendering::Shader::setTexture3DParameter, "volume", GL_TEXTURE_BINDING_3D},
        {&Rendering::Shader::setTextureRectangleParameter, "rectangle", GL_TEXTURE_BINDING_RECTANGLE_ARB},
    };
    GLuint textures[4];
    glGenTextures(4, textures);
    for (GLuint i = 0; i < 4; ++i)
    {
        (shader.*samplers[i].set)(samplers[i].name, textures[i], i + 1);
        EXPECT_EQ(TabulaTest::glInteger(GL_ACTIVE_TEXTURE), static_cast<GLint>(GL_TEXTURE1 + i)) << samplers[i].name;
        EXPECT_EQ(static_cast<GLuint>(TabulaTest::glInteger(samplers[i].binding)), textures[i]) << samplers[i].name;
        GLint unit = -1;
        glGetUniformiv(program, glGetUniformLocation(program, samplers[i].name), &unit);
        EXPECT_EQ(unit, static_cast<GLint>(i + 1)) << samplers[i].name;
    }
    glActiveTexture(GL_TEXTURE0);
    glDeleteTextures(4, textures);

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
