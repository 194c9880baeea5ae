#include "support/GLTestWindow.h"

#include <GL/freeglut.h>
#include <GL/glx.h>
#include <X11/Xlib.h>

#include <Rendering/Render.h>

namespace TabulaTest
{

namespace
{
bool g_WindowOpen = false;
bool g_EngineReady = false;

void idleDisplay() {}
} // namespace

void openWindow()
{
    if (g_WindowOpen)
        return;
    int argc = 1;
    char name[] = "tabula-test";
    char* argv[] = {name, nullptr};
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGBA | GLUT_DOUBLE | GLUT_DEPTH | GLUT_STENCIL);
    Vec2<unsigned int> size = Rendering::Render::instance()->getSize();
    glutInitWindowSize(static_cast<int>(size.x()), static_cast<int>(size.y()));
    glutInitWindowPosition(0, 0);
    glutCreateWindow("tabula-test");
    glutDisplayFunc(idleDisplay);
    // Some events must pass before the window has its final size on screen.
    for (int i = 0; i < 5; ++i)
        glutMainLoopEvent();
    g_WindowOpen = true;
}

void initEngine()
{
    openWindow();
    if (g_EngineReady)
        return;
    Rendering::Render::instance()->initGL();
    g_EngineReady = true;
}

std::array<unsigned char, 4> readPixel(int x, int y)
{
    glFinish();
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    std::array<unsigned char, 4> rgba{};
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, viewport[3] - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    return rgba;
}

std::string windowTitle()
{
    glutMainLoopEvent();
    Display* display = glXGetCurrentDisplay();
    Window window = glXGetCurrentDrawable();
    XSync(display, False);
    char* name = nullptr;
    std::string title;
    if (XFetchName(display, window, &name) && name)
    {
        title = name;
        XFree(name);
    }
    return title;
}

void pumpEvents()
{
    for (int i = 0; i < 10; ++i)
        glutMainLoopEvent();
}

} // namespace TabulaTest
