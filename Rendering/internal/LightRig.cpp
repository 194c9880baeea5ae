#include <Rendering/internal/LightRig.h>

#include <cmath>

#include <GL/gl.h>

namespace Rendering
{

namespace
{
// Up and towards the default camera (+z), a little from the left.
const double c_Key[3] = {-0.35, 1.0, 0.6};
const double c_Fill[3] = {0.6, 0.5, -0.5};
const GLfloat c_KeyColor[4] = {0.78f, 0.78f, 0.76f, 1.0f};
const GLfloat c_FillColor[4] = {0.25f, 0.25f, 0.27f, 1.0f};
const GLfloat c_Ambient[4] = {0.16f, 0.16f, 0.16f, 1.0f};
const GLfloat c_Black[4] = {0.0f, 0.0f, 0.0f, 1.0f};
// OpenGL's own global ambient.
const GLfloat c_DefaultAmbient[4] = {0.2f, 0.2f, 0.2f, 1.0f};

bool s_Applied = false;

void directional(GLenum light, const double (&direction)[3], const GLfloat* color)
{
    const GLfloat position[4] = {GLfloat(direction[0]), GLfloat(direction[1]), GLfloat(direction[2]), 0.0f};
    glLightfv(light, GL_POSITION, position);
    glLightfv(light, GL_AMBIENT, c_Black);
    glLightfv(light, GL_DIFFUSE, color);
    glLightfv(light, GL_SPECULAR, c_Black);
    glLightf(light, GL_SPOT_CUTOFF, 180.0f);
    glLightf(light, GL_SPOT_EXPONENT, 0.0f);
    glLightf(light, GL_CONSTANT_ATTENUATION, 1.0f);
    glLightf(light, GL_LINEAR_ATTENUATION, 0.0f);
    glLightf(light, GL_QUADRATIC_ATTENUATION, 0.0f);
    glEnable(light);
}
} // namespace

Vec3<double> LightRig::keyDirection()
{
    const double length = std::sqrt(c_Key[0] * c_Key[0] + c_Key[1] * c_Key[1] + c_Key[2] * c_Key[2]);
    return Vec3<double>(c_Key[0] / length, c_Key[1] / length, c_Key[2] / length);
}

void LightRig::apply(const double* view)
{
    glPushMatrix();
    glLoadMatrixd(view);
    directional(GL_LIGHT0, c_Key, c_KeyColor);
    directional(GL_LIGHT1, c_Fill, c_FillColor);
    glPopMatrix();
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, c_Ambient);
    s_Applied = true;
}

bool LightRig::release()
{
    if (!s_Applied)
        return false;
    glDisable(GL_LIGHT1);
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, c_DefaultAmbient);
    s_Applied = false;
    return true;
}

} // namespace Rendering
