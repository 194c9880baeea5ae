#include "support/GLTestWindow.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <thread>

#include <gtest/gtest.h>

#include <Core/Board.h>
#include <Rendering/Camera.h>
#include <Rendering/Image.h>
#include <Rendering/Render.h>
#include <Rendering/Shader.h>

#include "support/LogCapture.h"
#include "support/TestPaths.h"

// X11 defines macros (None, Bool) that clash with the headers above.
#include <GL/freeglut.h>
#include <GL/glx.h>
#include <X11/Xlib.h>

namespace TabulaTest
{

namespace
{
bool g_WindowOpen = false;
bool g_EngineReady = false;

void idleDisplay() {}
void reshape(int width, int height)
{
    Rendering::Render::instance()->reshape(width, height);
}
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
    glutReshapeFunc(reshape);
    // Wait until the server shows the window and every event it sent about
    // it (map, size, expose) has been handled, however slow the server is:
    // a late size event would otherwise reach the engine in the middle of a
    // test. One deadline for the whole wait.
    Display* display = glXGetCurrentDisplay();
    const Window window = glXGetCurrentDrawable();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    XWindowAttributes attributes{};
    for (;;)
    {
        XSync(display, False);
        glutMainLoopEvent();
        if (XGetWindowAttributes(display, window, &attributes) && attributes.map_state == IsViewable &&
            XPending(display) == 0)
            break;
        if (std::chrono::steady_clock::now() > deadline)
        {
            ADD_FAILURE() << "the test window was not shown within 20 s";
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    g_WindowOpen = true;
}

void initEngine()
{
    openWindow();
    if (g_EngineReady)
        return;
    // Its lines are LogGLTest's.
    LogCapture quiet;
    Rendering::Render::instance()->initGL();
    g_EngineReady = true;
}

Rendering::Shader& engineShader()
{
    static Rendering::Shader shader(dataPath("shaders/textured.vert"), dataPath("shaders/textured.frag"));
    return shader;
}

void startEngine(Rendering::Shader* shader)
{
    Rendering::Render::instance()->setShader(&engineShader());
    initEngine();
    Rendering::Render::instance()->setShader(shader);
}

WindowPoint projectToWindow(double x, double y, double z)
{
    Rendering::Render* render = Rendering::Render::instance();
    const double angle = rot * 3.14159265358979 / 180.0;
    // The scene turn about the vertical, as glRotated(rot, 0, 1, 0) applies it.
    const double wx = std::cos(angle) * x + std::sin(angle) * z;
    const double wz = -std::sin(angle) * x + std::cos(angle) * z;
    const Vec2<unsigned int> size = render->getSize();
    return projectThrough(*render->getCamera(), size.x(), size.y(), wx, y, wz);
}

WindowPoint projectThrough(const Rendering::Camera& camera, unsigned int width, unsigned int height, double x, double y,
                           double z)
{
    const Vec4<double> eye = camera.getTransformationMatrix().transform(Vec4<double>(x, y, z, 1));
    const Vec4<double> clip = camera.getProjectionMatrix().transform(eye);
    const double ndcX = clip.x() / clip.w(), ndcY = clip.y() / clip.w();
    return WindowPoint{(ndcX + 1.0) / 2.0 * width, height - (ndcY + 1.0) / 2.0 * height};
}

void resetCamera(Rendering::Camera& camera, const Vec3<double>& position, double pitch, double yaw)
{
    camera.resetRotation();
    camera.setPosition(position);
    camera.rotateX(pitch);
    camera.rotateY(yaw);
    camera.buildTransformationMatrix();
    camera.buildProjectionMatrix();
    if (&camera == Rendering::Render::instance()->getCamera())
        camera.glPut();
}

void pickAt(double x, double y)
{
    Rendering::Render::instance()->pickAt(static_cast<int>(std::lround(x)), static_cast<int>(std::lround(y)));
}

Pixel readPixel(int x, int y)
{
    glFinish();
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    Pixel rgba{};
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, viewport[3] - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    return rgba;
}

Pixel pixelAt(const Vec3<double>& world)
{
    const WindowPoint p = projectToWindow(world.x(), world.y(), world.z());
    return readPixel(static_cast<int>(p.x), static_cast<int>(p.y));
}

int difference(const Pixel& a, const Pixel& b)
{
    int largest = 0;
    for (int c = 0; c < 3; ++c)
        largest = std::max(largest, std::abs(int(a[c]) - int(b[c])));
    return largest;
}

std::vector<unsigned char> readFrame()
{
    glFinish();
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    std::vector<unsigned char> rgba(4 * std::size_t(viewport[2]) * std::size_t(viewport[3]));
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, viewport[2], viewport[3], GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    return rgba;
}

std::vector<unsigned char> bytesOf(const Rendering::Image& image)
{
    return std::vector<unsigned char>(image.getData(), image.getData() + image.getDataSize());
}

int largestDifference(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b)
{
    EXPECT_EQ(a.size(), b.size());
    int largest = 0;
    for (std::size_t i = 0; i < std::min(a.size(), b.size()); ++i)
        largest = std::max(largest, std::abs(int(a[i]) - int(b[i])));
    return largest;
}

void drawUnmoved(const std::function<void()>& draw)
{
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    draw();
    glPopMatrix();
}

void resizeWindow(unsigned int width, unsigned int height)
{
    glutReshapeWindow(static_cast<int>(width), static_cast<int>(height));
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (Rendering::Render::instance()->getSize() != Vec2<unsigned int>(width, height))
    {
        XSync(glXGetCurrentDisplay(), False);
        glutMainLoopEvent();
        if (std::chrono::steady_clock::now() > deadline)
        {
            ADD_FAILURE() << "the window did not take the size " << width << "x" << height;
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

int glInteger(unsigned int name)
{
    GLint value = 0;
    glGetIntegerv(name, &value);
    return value;
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

} // namespace TabulaTest
