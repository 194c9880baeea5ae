#include <gtest/gtest.h>

#include <array>
#include <initializer_list>

#include <GL/gl.h>

#include <Rendering/Light.h>

#include "support/GLTestWindow.h"

using Rendering::Light;

namespace
{
// `what` of OpenGL light `number`, after applying `lights` in order under an
// identity model-view matrix.
std::array<GLfloat, 4> applied(std::initializer_list<Light*> lights, GLenum number, GLenum what)
{
    TabulaTest::openWindow();
    TabulaTest::drawUnmoved(
        [&]
        {
            for (Light* light : lights)
                light->apply();
        });
    std::array<GLfloat, 4> value{-1, -1, -1, -1};
    glGetLightfv(number, what, value.data());
    return value;
}
} // namespace

TEST(LightGLTest, SetIdEnablesTheLightAndForcesAlphaOfEarlierColours)
{
    TabulaTest::openWindow();
    Light light;
    light.setDiffuseColor(Vec4<float>(0.5f, 0.5f, 0.5f, 0.25f));
    light.setId(2);
    EXPECT_TRUE(glIsEnabled(GL_LIGHT2));
    for (GLenum colour : {GL_AMBIENT, GL_DIFFUSE, GL_SPECULAR})
        EXPECT_EQ(applied({&light}, GL_LIGHT2, colour)[3], 1.0f) << colour;
    // Set after the number, the alpha is kept; a fresh light leaves OpenGL's
    // own attenuation and cut-off.
    light.setDiffuseColor(Vec4<float>(0.5f, 0.5f, 0.5f, 0.25f));
    EXPECT_EQ(applied({&light}, GL_LIGHT2, GL_DIFFUSE)[3], 0.25f);
    EXPECT_EQ(applied({&light}, GL_LIGHT2, GL_CONSTANT_ATTENUATION)[0], 1.0f);
    EXPECT_EQ(applied({&light}, GL_LIGHT2, GL_SPOT_CUTOFF)[0], 180.0f);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(LightGLTest, TwoLightsOfOneNumberLastAppliedWins)
{
    Light first, second;
    first.setSpecularColor(Vec4<float>(0.1f, 0.2f, 0.3f, 1.0f));
    second.setSpecularColor(Vec4<float>(0.9f, 0.8f, 0.7f, 1.0f));
    first.setPosition(Vec4<float>(1, 2, 3, 1));
    TabulaTest::openWindow();
    first.setId(3);
    second.setId(3);
    EXPECT_EQ(applied({&first, &second}, GL_LIGHT3, GL_SPECULAR)[0], 0.9f);
    EXPECT_EQ(applied({&first, &second}, GL_LIGHT3, GL_POSITION)[0], 0.0f);

    // A light never numbered is OpenGL's first, and its direction reaches it.
    Light unnumbered;
    unnumbered.setDirection(Vec3<float>(0, -1, 0));
    EXPECT_EQ(applied({&unnumbered}, GL_LIGHT0, GL_SPOT_DIRECTION)[1], -1.0f);
}
