#pragma once

#include <array>
#include <functional>
#include <string>
#include <vector>

#include <Math/Vec3.h>

namespace Rendering
{
class Camera;
class Image;
class Shader;
}

namespace TabulaTest
{

/// Opens this test process's one GLUT window (1024x728, the engine's default
/// size and display mode) and makes its context current, without entering
/// GLUT's main loop. Idempotent.
void openWindow();

/// openWindow(), then the engine's OpenGL set-up (Render::initGL) once.
void initEngine();

/// The engine's shader for the GL tests, built from tests/data/shaders/
/// textured.{vert,frag}. The engine builds its shader in its OpenGL set-up,
/// so this one must be handed over before that.
Rendering::Shader& engineShader();
/// initEngine() with engineShader() as the shader the set-up builds, then
/// `shader` made the engine's shader.
void startEngine(Rendering::Shader* shader = &engineShader());

/// Window position (x from the left, y from the top) at which a world point
/// appears, from the engine's camera, scene scale (1, 1, 1 assumed) and turn.
struct WindowPoint
{
    double x;
    double y;
};
WindowPoint projectToWindow(double x, double y, double z);
/// The same through `camera`'s current matrices for a width x height window,
/// without a scene turn: for a camera that lives outside this process's engine.
WindowPoint projectThrough(const Rendering::Camera& camera, unsigned int width, unsigned int height, double x, double y,
                           double z);

/// Puts `camera` at `position` turned down by `pitch` and then about the
/// vertical by `yaw` (radians) from no rotation, and builds its matrices: by
/// default the engine's start-up pose. The engine's own camera is also handed
/// to OpenGL.
void resetCamera(Rendering::Camera& camera, const Vec3<double>& position = Vec3<double>(0, 10, 10),
                 double pitch = -0.7853975, double yaw = 0.0);

/// One selection pass of the engine's board at window position (x from the
/// left, y from the top), as the frame runs it: the square found is
/// highlighted and handed to the picking records.
void pickAt(double x, double y);

/// An RGBA pixel as read back.
using Pixel = std::array<unsigned char, 4>;
/// RGBA of the back-buffer pixel at window position (x from the left, y from
/// the top), read after glFinish.
Pixel readPixel(int x, int y);
/// readPixel at the window position where world point `world` appears
/// (projectToWindow).
Pixel pixelAt(const Vec3<double>& world);
/// The largest difference of the two pixels' red, green or blue.
int difference(const Pixel& a, const Pixel& b);
/// The whole back buffer as RGBA rows from the bottom, read after glFinish.
std::vector<unsigned char> readFrame();
/// The bytes `image` holds.
std::vector<unsigned char> bytesOf(const Rendering::Image& image);
/// The largest difference of two pictures' bytes, position by position (a
/// failure when their sizes differ).
int largestDifference(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b);

/// Runs `draw` under an identity model-view matrix, restored afterwards: what
/// it draws is then in its own frame.
void drawUnmoved(const std::function<void()>& draw);
/// Resizes the test window and waits until the engine has followed
/// (Render::reshape through GLUT's reshape callback).
void resizeWindow(unsigned int width, unsigned int height);
/// One integer of OpenGL state (glGetIntegerv of `name`).
int glInteger(unsigned int name);

/// The window's title as the X server holds it.
std::string windowTitle();

} // namespace TabulaTest
