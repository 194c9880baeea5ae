#include <Rendering/HUDText.h>

#include <GL/freeglut.h>

#include <Rendering/Render.h>

namespace Rendering
{

void HUDText::draw()
{
    Vec2<unsigned int> size = Render::instance()->getSize();
    glPushMatrix();
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glLoadIdentity();
    glColor3dv(m_Color.ptr());
    // With the camera's 45-degree projection, (w / -17.6, h / 18) at depth 100
    // lies near the top-left corner of the view.
    const double x = m_X + size.x() / -2.0 / 8.8;
    const double y = m_Y + size.y() / 2.0 / 9.0;
    glRasterPos3f(static_cast<float>(x), static_cast<float>(y), -100.0f);
    for (unsigned char c : m_Text)
        glutBitmapCharacter(GLUT_BITMAP_8_BY_13, c);
    glEnable(GL_LIGHTING);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_TEXTURE_2D);
    glPopMatrix();
}

} // namespace Rendering
