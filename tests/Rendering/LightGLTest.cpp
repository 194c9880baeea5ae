#include <gtest/gtest.h>

#include <GL/gl.h>

#include <Rendering/Light.h>

#include "support/GLTestWindow.h"

using Rendering::Light;

TEST(LightGLTest, SetIdEnablesTheLightAndForcesAlphaOfEarlierColours)
{
    TabulaTest::openWindow();
    Light light;
    light.setDiffuseColor(Vec4<float>(0.5f, 0.5f, 0.5f, 0.25f));
    light.setId(2);
    EXPECT_TRUE(glIsEnabled(GL_LIGHT2));
    EXPECT_EQ(light.getDiffuseColor().w(), 1.0f);
    EXPECT_EQ(light.getAmbientColor().w(), 1.0f);
    EXPECT_EQ(light.getSpecularColor().w(), 1.0f);
    light.setDiffuseColor(Vec4<float>(0.5f, 0.5f, 0.5f, 0.25f));
    EXPECT_EQ(light.getDiffuseColor().w(), 0.25f);

    // A fresh light applied changes nothing from OpenGL's own defaults but
    // what it was given.
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    light.apply();
    glPopMatrix();
    GLfloat value[4];
    glGetLightfv(GL_LIGHT2, GL_DIFFUSE, value);
    EXPECT_FLOAT_EQ(value[3], 0.25f);
    glGetLightfv(GL_LIGHT2, GL_CONSTANT_ATTENUATION, value);
    EXPECT_FLOAT_EQ(value[0], 1.0f);
    glGetLightfv(GL_LIGHT2, GL_SPOT_CUTOFF, value);
    EXPECT_FLOAT_EQ(value[0], 180.0f);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(LightGLTest, TwoLightsOfOneNumberLastAppliedWins)
{
    TabulaTest::openWindow();
    Light first, second;
    first.setId(3);
    second.setId(3);
    first.setSpecularColor(Vec4<float>(0.1f, 0.2f, 0.3f, 1.0f));
    second.setSpecularColor(Vec4<float>(0.9f, 0.8f, 0.7f, 1.0f));
    first.setPosition(Vec4<float>(1, 2, 3, 1));
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    first.apply();
    second.apply();
    glPopMatrix();
    GLfloat value[4];
    glGetLightfv(GL_LIGHT3, GL_SPECULAR, value);
    EXPECT_FLOAT_EQ(value[0], 0.9f);
    glGetLightfv(GL_LIGHT3, GL_POSITION, value);
    EXPECT_FLOAT_EQ(value[0], 0.0f);
}
