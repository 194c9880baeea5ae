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
    if (Render::instance()->getLook().m_PixelHUD)
        drawInPixels(size);
    else
    {
        // With the camera's 45-degree projection, (w / -17.6, h / 18) at depth 100
        // lies near the top-left corner of the view.
        const double x = m_X + size.x() / -2.0 / 8.8;
        const double y = m_Y + size.y() / 2.0 / 9.0;
        glRasterPos3f(static_cast<float>(x), static_cast<float>(y), -100.0f);
        for (unsigned char c : m_Text)
            glutBitmapCharacter(GLUT_BITMAP_8_BY_13, c);
    }
    glEnable(GL_LIGHTING);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_TEXTURE_2D);
    glPopMatrix();
}

void HUDText::drawInPixels(const Vec2<unsigned int>& size) const
{
    // A projection of the window's own pixels, y downwards. The font's
    // characters rise c_Ascent pixels above the raster position.
    const int c_Ascent = 11;
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0.0, size.x(), size.y(), 0.0, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    // A text starting left of the window still shows its visible part: the
    // raster position starts inside and a bitmap of no size moves it.
    glRasterPos2i(0, m_Y + c_Ascent);
    glBitmap(0, 0, 0, 0, static_cast<GLfloat>(m_X), 0, nullptr);
    for (unsigned char c : m_Text)
        glutBitmapCharacter(GLUT_BITMAP_8_BY_13, c);
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
}

} // namespace Rendering
