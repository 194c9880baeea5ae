#include <Rendering/Render.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <limits>
#include <string>
#include <utility>
#include <vector>

// GLEW must come before any other OpenGL header.
#include <GL/glew.h>
#include <GL/glxew.h>

#include <GL/freeglut.h>
#include <GL/glu.h>

#include <Core/Board.h>
#include <Core/CallBackFrame.h>
#include <Core/CallBackKeyboard.h>
#include <Core/CallBackPicking.h>
#include <Core/Drawable.h>
#include <Core/ImageManager.h>
#include <Core/Log.h>
#include <Core/MeshManager.h>
#include <Core/Object.h>
#include <Core/Square.h>
#include <Core/internal/DrawnPlace.h>
#include <Math/Matrix.h>
#include <Reader/PNGWriter.h>
#include <Rendering/Camera.h>
#include <Rendering/HUD.h>
#include <Rendering/Light.h>
#include <Rendering/Shader.h>
#include <Rendering/internal/EngineState.h>
#include <Rendering/internal/InteractionState.h>
#include <Rendering/internal/LightRig.h>
#include <Rendering/internal/Shadows.h>

float rot = 0.0f;
Vec3<double> dst_pos(0.0, 10.0, -10.0);
Quat<double> dst_orient(3.0 * 0.7853975, Vec3<double>(1.0, 0.0, 0.0));
Quat<double> init_orient;
float delta_t = 0.0f;

namespace Rendering
{

unsigned int pickingBuf[512];

namespace
{
// Last pointer position seen with no button held: the point each frame picks.
int mouseX = 0;
int mouseY = 0;
// Right-button drag: -1 idle, 0 armed (no position seen yet), else the last position.
int oldX = 0;
int oldY = 0;
// The window point the last picking pass tested.
int pickedX = -1;
int pickedY = -1;

EngineState s_State;

const double c_QuarterTurn = 0.7853975;
const double c_EighthTurn = 0.39269875;
const double c_FullTurn = 6.28318;
const int c_PickingBufferSize = 512;

void display()
{
    Render::instance()->loop();
}

void reShape(int width, int height)
{
    Render::instance()->reshape(width, height);
}

// The display must offer the swap-control extension, not merely the client
// library: on a server without it (a direct context under Xvfb) the call
// raises an X error, and Xlib's default handler ends the process. Without
// it the keys that switch it do nothing.
bool swapControlOffered()
{
    Display* display = glXGetCurrentDisplay();
    if (!glXSwapIntervalSGI || !display)
        return false;
    const char* list = glXQueryExtensionsString(display, DefaultScreen(display));
    const std::string extensions = std::string(" ") + (list ? list : "") + " ";
    return extensions.find(" GLX_SGI_swap_control ") != std::string::npos;
}

void setSwapInterval(int interval)
{
    if (swapControlOffered())
        glXSwapIntervalSGI(interval);
}

void disableVSync()
{
    setSwapInterval(0);
}
void enableVSync()
{
    setSwapInterval(1);
}

void keyboardEvent(unsigned char key, int x, int y)
{
    if (Render::instance()->handleKeyboardPlay(key, false))
        return;
    Camera* camera = Render::instance()->getCamera();
    const bool free = camera->isFree();
    switch (key)
    {
    case 27:
        std::exit(0);
    case '*':
        disableVSync();
        break;
    case '/':
        enableVSync();
        break;
    case '+':
        camera->setIsFree(!free);
        break;
    case '-':
        camera->resetRotation();
        camera->setTarget(Vec3<double>());
        camera->setPosition(Vec3<double>(0, 10, 10));
        camera->rotateX(-c_QuarterTurn);
        break;
    case 'l':
        glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
        break;
    case 'p':
        glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
        break;
    case 'z':
        free ? camera->translateZ(-0.5) : camera->rotateX(c_EighthTurn);
        break;
    case 's':
        free ? camera->translateZ(0.5) : camera->rotateX(-c_EighthTurn);
        break;
    case 'q':
        free ? camera->translateX(-0.5) : camera->rotateY(c_EighthTurn);
        break;
    case 'd':
        free ? camera->translateX(0.5) : camera->rotateY(-c_EighthTurn);
        break;
    case 'a':
        if (free)
            camera->translateY(-0.5);
        else
            camera->setDistanceToOrigin(camera->getDistanceToOrigin() + 0.5);
        break;
    case 'e':
        if (free)
            camera->translateY(0.5);
        else
            camera->setDistanceToOrigin(camera->getDistanceToOrigin() - 0.5);
        break;
    default:
        Core::forEachRecord(Render::instance()->getCallBacksKeyboard(),
                            [&](Core::CallBackKeyboard* callback)
                            {
                                callback->setKeyboardEvent(key, x, y);
                                callback->execute();
                            });
        break;
    }
    camera->glPut();
}

void mouseEvent(int button, int state, int x, int y)
{
    if (button == GLUT_RIGHT_BUTTON)
    {
        oldX = 0;
        oldY = 0;
        return;
    }
    oldX = -1;
    oldY = -1;
    if (button == GLUT_LEFT_BUTTON && state == GLUT_UP)
    {
        // A pointer that moved since the last pass would click the square
        // it has left: the release point is picked first.
        if (x != pickedX || y != pickedY)
        {
            mouseX = x;
            mouseY = y;
            Render::instance()->pickAt(x, y);
        }
        Render::instance()->updatePicking();
    }
}

void motionEvent(int x, int y)
{
    if (oldX == -1 || oldY == -1)
        return;
    Render* render = Render::instance();
    Vec2<unsigned int> size = render->getSize();
    // A drag across the whole width or height is one full turn.
    const double kx = c_FullTurn / size.x();
    const double ky = c_FullTurn / size.y();
    const double dx = oldX != 0 ? static_cast<double>(oldX - x) : 0.0;
    const double dy = oldY != 0 ? static_cast<double>(oldY - y) : 0.0;
    oldX = x;
    oldY = y;
    Camera* camera = render->getCamera();
    camera->rotateX(ky * dy);
    camera->rotateY(kx * dx);
    camera->glPut();
}

void passiveMotionEvent(int x, int y)
{
    mouseX = x;
    mouseY = y;
}
} // namespace

Render* Render::instance()
{
    static Render s_Instance;
    return &s_Instance;
}

EngineState& engineState()
{
    return s_State;
}

bool Render::isAlive()
{
    return s_State.m_RenderAlive;
}

Render::Render()
    : m_Width(1024), m_Height(728), m_FullScreen(false), m_Camera(new Camera()), m_Board(nullptr), m_RotationStep(1.0f),
      m_LastFpsTime(1000.0), m_FrameCount(0), m_ShaderAvailable(false), m_Shader(nullptr), m_NbDisplayList(0),
      m_HasFrameTime(false), m_DrawnModelView{}, m_DrawnProjection{}, m_DrawnViewport{}, m_HasDrawn(false),
      m_Interaction(std::make_unique<InteractionState>())
{
    m_Camera->setIsFree(true);
    s_State.m_RenderAlive = true;
}

Render::~Render()
{
    s_State.m_RenderAlive = false;
    delete m_Camera;
}

void Render::setParams(const std::string& title, const Vec3<double>& scale, Core::Board* board)
{
    m_Title = title;
    m_Board = board;
    m_Scale = scale;
}

void Render::setSize(unsigned int width, unsigned int height)
{
    m_Width = width;
    m_Height = height;
}

void Render::reshape(int width, int height)
{
    glViewport(0, 0, width, height);
    setSize(static_cast<unsigned int>(width), static_cast<unsigned int>(height));
    // A window of height 0 has no aspect ratio: the camera keeps the last one.
    if (height > 0)
        m_Camera->setAspectRatio(static_cast<double>(width) / static_cast<double>(height));
    m_Camera->glUpdateProjectionMatrix();
}

void Render::run()
{
    int argc = 1;
    char name[] = "main";
    char* argv[] = {name, nullptr};
    glutInit(&argc, argv);
    // freeglut falls back to a single-sampled visual when none is multisampled.
    glutInitDisplayMode(GLUT_RGBA | GLUT_DOUBLE | GLUT_DEPTH | GLUT_STENCIL |
                        (m_Look.m_Antialiasing ? GLUT_MULTISAMPLE : 0));
    glutInitWindowSize(static_cast<int>(m_Width), static_cast<int>(m_Height));
    glutInitWindowPosition(100, 100);
    glutCreateWindow(m_Title.c_str());
    if (m_FullScreen)
        glutFullScreen();
    initGL();
    glutDisplayFunc(display);
    glutIdleFunc(display);
    glutMouseFunc(mouseEvent);
    glutMotionFunc(motionEvent);
    glutReshapeFunc(reShape);
    glutPassiveMotionFunc(passiveMotionEvent);
    glutKeyboardFunc(keyboardEvent);
    glutSpecialFunc(specialKey);
    glutMainLoop();
}

void Render::initGL()
{
    glClearColor(0.1f, 0.1f, 0.1f, 0.0f);
    glViewport(0, 0, static_cast<GLsizei>(m_Width), static_cast<GLsizei>(m_Height));

    m_Camera->setFOV(45.0);
    m_Camera->setAspectRatio(static_cast<double>(m_Width) / static_cast<double>(m_Height));
    m_Camera->setPlanes(1.0, 1000.0);
    m_Camera->setPosition(Vec3<double>(0, 10, 10));
    m_Camera->rotateX(-c_QuarterTurn);
    m_Camera->setDistanceToOrigin(10.0);
    init_orient = m_Camera->getOrientation();
    m_Camera->glUpdateProjectionMatrix();
    m_Camera->glPut();

    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_TEXTURE_2D);
    glDisable(GL_CULL_FACE);
    glShadeModel(GL_SMOOTH);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glDepthMask(GL_TRUE);
    GLint sampleBuffers = 0;
    glGetIntegerv(GL_SAMPLE_BUFFERS, &sampleBuffers);
    if (m_Look.m_Antialiasing && sampleBuffers > 0)
        glEnable(GL_MULTISAMPLE);

    // The engine's own spot above the board, made once and freed with the engine.
    if (!m_DefaultLight)
    {
        m_DefaultLight = std::make_unique<Light>();
        m_Lights.push_back(m_DefaultLight.get());
    }
    Light* light = m_DefaultLight.get();
    light->setId(0);
    light->setPosition(Vec4<float>(0, 10, 0, 1));
    light->setDirection(Vec3<float>(0, -1, 0));
    light->setDiffuseColor(Vec4<float>(0.1f, 0.1f, 0.1f, 0.1f));
    light->setSpecularColor(Vec4<float>(0.7f, 0.7f, 0.7f, 0.7f));
    light->setSpotExponent(1024.0f);
    light->setSpotCutOff(60.0f);
    // The game's lights set up before the window existed were enabled with
    // no context to take it.
    for (Light* gameLight : m_Lights)
        gameLight->init();

    Core::ImageManager::instance()->initGL();
    Core::MeshManager::instance()->initList();
    // The sphere of a piece without a model, compiled once for this context
    // rather than tessellated afresh for every piece in every pass.
    if (s_State.m_SphereList != 0)
        glDeleteLists(s_State.m_SphereList, 1);
    s_State.m_SphereList = glGenLists(1);
    glNewList(s_State.m_SphereList, GL_COMPILE);
    glutSolidSphere(c_SphereRadius, 10, 10);
    glEndList();

    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    // Each step is one line once done, as a handler takes whole lines.
    Core::log(Core::LogLevel::Info, "Render", "Initializing OpenGL :  OK");

    glewInit();
    m_ShaderAvailable = Shader::shaderIsAvailable();
    Core::log(Core::LogLevel::Info, "Render", "Initializing GLEW & Shader :  OK");
    if (m_Shader && m_ShaderAvailable)
        m_Shader->init();
    m_Interaction->m_GLReady = true;
    if (m_Interaction->m_PendingView)
        std::exchange(m_Interaction->m_PendingView, nullptr)();
}

double Render::measureFrameTime()
{
    const std::chrono::steady_clock::time_point now = std::chrono::steady_clock::now();
    const double seconds = m_HasFrameTime ? std::chrono::duration<double>(now - m_LastFrameTime).count() : 0.0;
    m_LastFrameTime = now;
    m_HasFrameTime = true;
    return seconds;
}

void Render::renderFrame()
{
    const double seconds = measureFrameTime();
    sweepFunctions();
    if (m_Interaction->m_Flying)
        flyCamera(seconds);
    if (m_Board)
        m_Board->advanceAnimations(seconds);
    Core::forEachRecord(m_CallBacksFrame,
                        [&](Core::CallBackFrame* callback)
                        {
                            callback->setDeltaTime(seconds);
                            callback->execute();
                        });

    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    double view[16];
    glGetDoublev(GL_MODELVIEW_MATRIX, view);
    glPushMatrix();
    glScaled(m_Scale.x(), m_Scale.y(), m_Scale.z());
    glRotated(rot, 0, 1, 0);
    glGetDoublev(GL_MODELVIEW_MATRIX, m_DrawnModelView);
    glGetDoublev(GL_PROJECTION_MATRIX, m_DrawnProjection);
    glGetIntegerv(GL_VIEWPORT, m_DrawnViewport);
    m_HasDrawn = true;

    // Picking and the head-up display use the fixed-function pipeline.
    Shader::unApply();
    if (m_Board)
    {
        startPicking(mouseX, mouseY);
        m_Board->draw();
        stopPicking();
    }

    if (!m_Look.m_PixelHUD)
        for (HUD* hud : m_HUDs)
            if (hud)
                hud->draw();

    if (m_Shader)
        m_Shader->apply();
    applyLights(view);
    markFocus(true);
    if (m_Look.m_RescaleNormals)
        glEnable(GL_NORMALIZE);
    if (m_Board)
        m_Board->draw();
    if (m_Look.m_RescaleNormals)
        glDisable(GL_NORMALIZE);
    markFocus(false);
    if (m_Board && m_Look.m_Shadows)
        Shadows::draw(*m_Board, keyLightInScene());
    if (m_Look.m_PixelHUD)
    {
        Shader::unApply();
        for (HUD* hud : m_HUDs)
            if (hud)
                hud->draw();
    }
    glPopMatrix();
}

void Render::applyLights(const double* view)
{
    if (m_Look.m_LightRig && m_Lights.size() == 1 && m_Lights[0] == m_DefaultLight.get())
    {
        LightRig::apply(view);
        return;
    }
    // The rig's light 1 may be a game light's number: every listed light is
    // on again, as numbering it left it.
    if (LightRig::release())
        for (Light* light : m_Lights)
            glEnable(GL_LIGHT0 + light->getId());
    for (Light* light : m_Lights)
        light->apply();
}

Vec3<double> Render::keyLightInScene() const
{
    // A direction goes into the scene's frame through the inverse turn and
    // the inverse scale.
    const Vec3<double> key = LightRig::keyDirection();
    const double angle = rot * 3.14159265358979 / 180.0;
    const double x = std::cos(angle) * key.x() - std::sin(angle) * key.z();
    const double z = std::sin(angle) * key.x() + std::cos(angle) * key.z();
    const auto divide = [](double value, double scale) { return scale != 0.0 ? value / scale : 0.0; };
    return Vec3<double>(divide(x, m_Scale.x()), divide(key.y(), m_Scale.y()), divide(z, m_Scale.z()));
}

void Render::loop()
{
    renderFrame();
    glutSwapBuffers();
    updateFrameRate();
    updateRotation();
}

bool Render::saveScreenshot(const std::string& fileName)
{
    if (!m_HasDrawn)
    {
        Core::log(Core::LogLevel::Warning, "Render",
                  "No frame drawn yet: no screenshot written to \"" + fileName + "\"");
        return false;
    }
    const int width = static_cast<int>(m_Width);
    const int height = static_cast<int>(m_Height);
    std::vector<unsigned char> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3);
    glFinish();
    GLint alignment = 4;
    glGetIntegerv(GL_PACK_ALIGNMENT, &alignment);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    if (!pixels.empty())
        glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    glPixelStorei(GL_PACK_ALIGNMENT, alignment);
    // OpenGL's rows run bottom-up, a picture's top-down.
    const std::size_t row = static_cast<std::size_t>(width) * 3;
    for (int y = 0; y < height / 2; ++y)
        std::swap_ranges(pixels.begin() + static_cast<long>(row * static_cast<std::size_t>(y)),
                         pixels.begin() + static_cast<long>(row * static_cast<std::size_t>(y + 1)),
                         pixels.begin() + static_cast<long>(row * static_cast<std::size_t>(height - 1 - y)));
    return Reader::writePNGFile(fileName, pixels.data(), m_Width, m_Height);
}

Render::WindowPoint Render::getWindowPoint(const Vec3<double>& point) const
{
    WindowPoint result;
    if (!m_HasDrawn || !m_Board)
        return result;
    // The board draws itself centred on the scene's origin.
    const Vec2<unsigned int>& size = m_Board->getSize();
    const Vec4<double> local(point.x() - size.x() / 2.0, point.y(), point.z() + size.y() / 2.0, 1.0);
    const Vec4<double> eye = Matrix<double>::fromArray(m_DrawnModelView).transform(local);
    const Vec4<double> transformed = Matrix<double>::fromArray(m_DrawnProjection).transform(eye);
    const double* clip = transformed.ptr();
    if (!(clip[3] > 0.0))
        return result;
    const double ndc[3] = {clip[0] / clip[3], clip[1] / clip[3], clip[2] / clip[3]};
    const int* v = m_DrawnViewport;
    result.m_X = v[0] + (ndc[0] + 1.0) / 2.0 * v[2];
    // Counted from the top of the window, which the viewport fills.
    result.m_Y = v[3] - (v[1] + (ndc[1] + 1.0) / 2.0 * v[3]);
    result.m_InView = ndc[2] >= -1.0 && ndc[2] <= 1.0 && result.m_X >= v[0] && result.m_X < v[0] + v[2] &&
                      result.m_Y >= 0.0 && result.m_Y < v[3];
    return result;
}

Render::WindowPoint Render::getWindowPoint(const Core::Square* square) const
{
    return square ? getWindowPoint(square->getCentre()) : WindowPoint();
}

Render::WindowPoint Render::getWindowPoint(const Core::Object* object) const
{
    const Core::Square* square = object ? object->getParentSquare() : nullptr;
    if (!square)
        return WindowPoint();
    return getWindowPoint(Core::drawnPlace(*square, *object) + object->getBodyOffset());
}

void Render::updateFrameRate()
{
    const double now = static_cast<double>(std::clock());
    if (now - m_LastFpsTime >= static_cast<double>(CLOCKS_PER_SEC))
    {
        m_LastFpsTime = now;
        const std::string title = m_Title + " - " + std::to_string(m_FrameCount) + " FPS";
        m_FrameCount = 0;
        glutSetWindowTitle(title.c_str());
    }
    ++m_FrameCount;
}

void Render::updateRotation()
{
    if (!m_Board)
        return;
    const float orientation = m_Board->getOrientation();
    if (m_RotationStep > std::fabs(rot - orientation))
        rot = orientation;
    if (rot > orientation)
        rot -= m_RotationStep;
    else if (orientation > rot)
        rot += m_RotationStep;
}

void Render::drawAxis()
{
    glBegin(GL_LINES);
    glColor3d(1, 0, 0);
    glVertex3d(0, 0, 0);
    glVertex3d(1, 0, 0);
    glColor3d(0, 1, 0);
    glVertex3d(0, 0, 0);
    glVertex3d(0, 1, 0);
    glColor3d(0, 0, 1);
    glVertex3d(0, 0, 0);
    glVertex3d(0, 0, 1);
    glEnd();
    glColor3d(1, 1, 1);
}

void Render::pushDrawable(Core::Drawable* drawable)
{
    m_Drawables.insert(std::make_pair(drawable->getPickingName(), drawable));
}

void Render::popDrawable(Core::Drawable* drawable)
{
    auto it = m_Drawables.find(drawable->getPickingName());
    if (it != m_Drawables.end() && it->second == drawable)
        m_Drawables.erase(it);
}

Core::Drawable* Render::getDrawable(unsigned int name) const
{
    auto it = m_Drawables.find(name);
    return it == m_Drawables.end() ? nullptr : it->second;
}

void Render::startPicking(int x, int y)
{
    pickedX = x;
    pickedY = y;
    glSelectBuffer(c_PickingBufferSize, pickingBuf);
    glRenderMode(GL_SELECT);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    gluPickMatrix(x, viewport[3] - y, 2.0, 2.0, viewport);
    gluPerspective(45.0, m_Camera->getAspectRatio(), 0.1, 1000.0);
    glMatrixMode(GL_MODELVIEW);
    glInitNames();
}

void Render::stopPicking()
{
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glFlush();
    const int hits = glRenderMode(GL_RENDER);
    if (hits != 0)
        processHits(hits);
}

void Render::processHits(int hits)
{
    if (hits < 1 || !m_Board)
        return;
    // Walk the records without ever reading past the buffer, whatever the
    // hit count claims; a record whose names would run past its end ends the
    // walk.
    const unsigned int size = c_PickingBufferSize;
    unsigned int nearest = std::numeric_limits<unsigned int>::max();
    int chosen = -1;
    unsigned int index = 0;
    for (int hit = 0; hit < hits && index + 3 <= size; ++hit)
    {
        const unsigned int names = pickingBuf[index];
        const unsigned int minDepth = pickingBuf[index + 1];
        if (names > size - index - 3)
            break;
        if (names > 0 && minDepth < nearest)
        {
            nearest = minDepth;
            chosen = static_cast<int>(index);
        }
        index += 3 + names;
    }
    if (chosen < 0)
        return;

    Core::Drawable* drawable = getDrawable(pickingBuf[chosen + 3]);
    if (!drawable)
        return;

    Core::Square* square = nullptr;
    const std::string className = drawable->getClassName();
    if (className == Core::Board::getStaticClassName())
        square = nullptr;
    else if (className == Core::Square::getStaticClassName())
        square = static_cast<Core::Square*>(drawable);
    else
    {
        // A game's own drawable class under any other tag counts as a piece
        // only if it is one; anything else is ignored like an unknown name.
        Core::Object* piece = dynamic_cast<Core::Object*>(drawable);
        if (!piece)
            return;
        square = piece->getParentSquare();
    }

    m_Board->autoHighlight(square);
    for (Core::CallBackPicking* callback : m_CallBacksPicking)
        callback->setPickedSquare(square);
}

void Render::pickAt(int x, int y)
{
    if (!m_Board)
        return;
    glPushMatrix();
    glScaled(m_Scale.x(), m_Scale.y(), m_Scale.z());
    glRotated(rot, 0, 1, 0);
    Shader::unApply();
    startPicking(x, y);
    m_Board->draw();
    stopPicking();
    glPopMatrix();
}

void Render::updatePicking()
{
    if (!m_Board)
        return;
    Core::Square* square = m_Board->getHighlightedSquare();
    if (square)
        click(square);
}

void Render::click(Core::Square* square)
{
    Core::forEachRecord(m_CallBacksPicking,
                        [&](Core::CallBackPicking* callback)
                        {
                            callback->setPickedSquare(square);
                            callback->execute();
                        });
}

} // namespace Rendering
