// Cost of the engine's frame on the reference scene (8x8 board, 24 sphere
// pieces) against a plain OpenGL program that issues the same two passes by
// hand, and the share of a frame spent in the selection pass. Every frame
// ends with glFinish so the rasteriser's work is counted. Run under Xvfb.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <limits>
#include <map>
#include <string>
#include <vector>

#include <GL/freeglut.h>
#include <GL/glu.h>

#include <Core/Board.h>
#include <Core/Object.h>
#include <Core/Square.h>
#include <Rendering/Camera.h>
#include <Rendering/Render.h>

namespace
{
using Clock = std::chrono::steady_clock;

const int c_Width = 1024;
const int c_Height = 728;

// Median seconds of each measured pass, by name, for the closing summary.
std::map<std::string, double> g_Results;

// The reference scene, built with the library's classes as a game does:
// unit squares, three rows of four pieces on each side as in draughts.
struct Scene
{
    Scene()
    {
        for (unsigned int y = 0; y < 8; ++y)
            for (unsigned int x = 0; x < 8; ++x)
            {
                Core::Square::Coords c;
                c.m_Corners[0] = Vec2<unsigned int>(x, y);
                c.m_Corners[1] = Vec2<unsigned int>(x + 1, y);
                c.m_Corners[2] = Vec2<unsigned int>(x + 1, y + 1);
                c.m_Corners[3] = Vec2<unsigned int>(x, y + 1);
                auto* square = new Core::Square(c, {});
                const bool dark = (x + y) % 2 == 0;
                square->setColor(dark ? Vec4<double>(0.5, 0.1, 0.1, 1) : Vec4<double>(0.9, 0.9, 0.9, 1));
                if (dark && (y < 3 || y > 4))
                {
                    auto* piece = new Core::Object(Core::Object::ObjectAlignment(), "");
                    piece->setColor(y < 3 ? Vec4<double>(1, 1, 1, 1) : Vec4<double>(0.1, 0.1, 0.1, 1));
                    square->pushObject(piece);
                }
                squares.push_back(square);
            }
        board = new Core::Board(Vec2<unsigned int>(8, 8), squares);
        board->setAutoHighlight(true);
        board->setColor(Vec4<double>(0.4, 0.25, 0.1, 1));
    }

    std::vector<Core::Square*> squares;
    Core::Board* board;
};

Scene* g_Scene = nullptr;

void idle() {}

void openWindow()
{
    int argc = 1;
    char name[] = "FrameBench";
    char* argv[] = {name, nullptr};
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGBA | GLUT_DOUBLE | GLUT_DEPTH | GLUT_STENCIL);
    glutInitWindowSize(c_Width, c_Height);
    glutInitWindowPosition(100, 100);
    glutCreateWindow("FrameBench");
    glutDisplayFunc(idle);
    for (int i = 0; i < 5; ++i)
        glutMainLoopEvent();
}

// Window point over the middle of square (3, 4), for selection passes that hit.
void boardPoint(int& x, int& y)
{
    Rendering::Camera* camera = Rendering::Render::instance()->getCamera();
    const Matrix<double>& v = camera->getTransformationMatrix();
    const Matrix<double>& p = camera->getProjectionMatrix();
    const double world[4] = {-0.5, 0.001, 0.5, 1.0};
    double eye[4], clip[4];
    for (int r = 0; r < 4; ++r)
        eye[r] = v[r] * world[0] + v[4 + r] * world[1] + v[8 + r] * world[2] + v[12 + r] * world[3];
    for (int r = 0; r < 4; ++r)
        clip[r] = p[r] * eye[0] + p[4 + r] * eye[1] + p[8 + r] * eye[2] + p[12 + r] * eye[3];
    x = static_cast<int>((clip[0] / clip[3] + 1.0) / 2.0 * c_Width);
    y = static_cast<int>(c_Height - (clip[1] / clip[3] + 1.0) / 2.0 * c_Height);
}

// The plain program: the same geometry, names and state, written directly.
namespace Plain
{
GLuint buffer[512];

void slabPoints(double w, double h, double d)
{
    const double v[24][3] = {{0, 0, 0},   {w, 0, 0},  {w, 0, -h}, {0, 0, -h},  {0, -d, 0},  {0, -d, -h},
                             {w, -d, -h}, {w, -d, 0}, {0, -d, 0}, {w, -d, 0},  {w, 0, 0},   {0, 0, 0},
                             {0, -d, -h}, {0, 0, -h}, {w, 0, -h}, {w, -d, -h}, {0, 0, 0},   {0, -d, 0},
                             {0, -d, -h}, {0, 0, -h}, {w, 0, 0},  {w, 0, -h},  {w, -d, -h}, {w, -d, 0}};
    for (const auto& p : v)
        glVertex3d(p[0], p[1], p[2]);
}

void drawScene()
{
    const Core::Board& board = *g_Scene->board;
    glPushMatrix();
    glPushName(board.getPickingName());
    glTranslated(-4.0, 0, 4.0);
    const Vec4<double>& slab = board.getColor();
    glBegin(GL_QUADS);
    glColor4d(slab.x(), slab.y(), slab.z(), slab.w());
    slabPoints(8, 8, 0.25);
    glEnd();
    glBegin(GL_LINES);
    glColor4d(0, 0, 0, 1);
    slabPoints(8, 8, 0.25);
    glEnd();
    glPopName();

    for (const Core::Square* square : g_Scene->squares)
    {
        const Vec4<double>& c = square->getColor();
        const GLfloat material[4] = {GLfloat(c.x()), GLfloat(c.y()), GLfloat(c.z()), GLfloat(c.w())};
        const double x = square->getLower().x(), y = square->getLower().y();
        glPushName(square->getPickingName());
        glColor4d(c.x(), c.y(), c.z(), c.w());
        glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE, material);
        glNormal3d(0, 1, 0);
        glBegin(GL_QUADS);
        glVertex3d(x, 0.001, -y);
        glVertex3d(x + 1, 0.001, -y);
        glVertex3d(x + 1, 0.001, -(y + 1));
        glVertex3d(x, 0.001, -(y + 1));
        glEnd();
        glPopName();
    }

    for (const Core::Square* square : g_Scene->squares)
        for (const Core::Object* piece : square->getObjects())
        {
            const Vec4<double>& c = piece->getColor();
            const GLfloat material[4] = {GLfloat(c.x()), GLfloat(c.y()), GLfloat(c.z()), GLfloat(c.w())};
            glPushMatrix();
            glTranslated(square->getLower().x() + 0.5, 0.076, -(square->getLower().y() + 0.5));
            glPushName(piece->getPickingName());
            glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE, material);
            glColor4d(c.x(), c.y(), c.z(), c.w());
            glutSolidSphere(0.2, 10, 10);
            glPopName();
            glPopMatrix();
        }
    glPopMatrix();
}

void selectionPass(int x, int y)
{
    glSelectBuffer(512, buffer);
    glRenderMode(GL_SELECT);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    gluPickMatrix(x, viewport[3] - y, 2.0, 2.0, viewport);
    gluPerspective(45.0, static_cast<double>(c_Width) / c_Height, 0.1, 1000.0);
    glMatrixMode(GL_MODELVIEW);
    glInitNames();
    drawScene();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glFlush();
    const GLint hits = glRenderMode(GL_RENDER);
    GLuint nearest = std::numeric_limits<GLuint>::max();
    GLuint name = 0;
    for (GLint hit = 0, index = 0; hit < hits && index + 3 <= 512; ++hit)
    {
        const GLuint names = buffer[index];
        if (names > 0 && index + 3 + static_cast<GLint>(names) <= 512 && buffer[index + 1] < nearest)
        {
            nearest = buffer[index + 1];
            name = buffer[index + 3];
        }
        index += 3 + static_cast<GLint>(names);
    }
    benchmark::DoNotOptimize(name);
}

void light()
{
    const GLfloat position[4] = {0, 10, 0, 1};
    const GLfloat ambient[4] = {0, 0, 0, 1};
    const GLfloat diffuse[4] = {0.1f, 0.1f, 0.1f, 0.1f};
    const GLfloat specular[4] = {0.7f, 0.7f, 0.7f, 0.7f};
    const GLfloat direction[3] = {0, -1, 0};
    glLightfv(GL_LIGHT0, GL_POSITION, position);
    glLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
    glLightfv(GL_LIGHT0, GL_SPECULAR, specular);
    glLightfv(GL_LIGHT0, GL_SPOT_DIRECTION, direction);
    glLightf(GL_LIGHT0, GL_SPOT_CUTOFF, 60.0f);
    glLightf(GL_LIGHT0, GL_SPOT_EXPONENT, 1024.0f);
}

void frame(int x, int y)
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    glPushMatrix();
    selectionPass(x, y);
    light();
    drawScene();
    glPopMatrix();
    glutSwapBuffers();
}
} // namespace Plain

// Pointer positions: 0 is the window's corner (where the engine picks until
// the pointer first moves, so its frame loop here picks there), 1 is over a
// square.
void pickPoint(int which, int& x, int& y)
{
    x = 0;
    y = 0;
    if (which == 1)
        boardPoint(x, y);
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

// Times `engine` and `plain` one after the other in every iteration, so that
// whatever else the shared machine does falls on both alike, and keeps the
// median of each, in seconds.
template <typename Engine, typename Plain>
void pair(benchmark::State& state, const std::string& name, Engine engine, Plain plain)
{
    std::vector<double> engineTimes, plainTimes;
    for (auto _ : state)
    {
        Clock::time_point t0 = Clock::now();
        engine();
        glFinish();
        Clock::time_point t1 = Clock::now();
        plain();
        glFinish();
        Clock::time_point t2 = Clock::now();
        engineTimes.push_back(std::chrono::duration<double>(t1 - t0).count());
        plainTimes.push_back(std::chrono::duration<double>(t2 - t1).count());
    }
    const double e = median(engineTimes), p = median(plainTimes);
    g_Results["engine " + name] = e;
    g_Results["plain " + name] = p;
    state.counters["engine_ms"] = e * 1e3;
    state.counters["plain_ms"] = p * 1e3;
    state.counters["overhead_pct"] = (e / p - 1.0) * 100.0;
}

void BM_Frame(benchmark::State& state)
{
    Rendering::Render* render = Rendering::Render::instance();
    pair(
        state, "frame", [&] { render->loop(); }, [] { Plain::frame(0, 0); });
    state.counters["engine_fps"] = 1.0 / g_Results["engine frame"];
    state.counters["plain_fps"] = 1.0 / g_Results["plain frame"];
}

void BM_SelectionPass(benchmark::State& state)
{
    Rendering::Render* render = Rendering::Render::instance();
    int x = 0, y = 0;
    pickPoint(static_cast<int>(state.range(0)), x, y);
    pair(
        state, "selection " + std::to_string(state.range(0)),
        [&]
        {
            glPushMatrix();
            render->startPicking(x, y);
            g_Scene->board->draw();
            render->stopPicking();
            glPopMatrix();
        },
        [&]
        {
            glPushMatrix();
            Plain::selectionPass(x, y);
            glPopMatrix();
        });
}

BENCHMARK(BM_Frame)->UseRealTime()->MinTime(3.0);
BENCHMARK(BM_SelectionPass)->Arg(0)->Arg(1)->UseRealTime()->MinTime(1.0);

void summary()
{
    const double engine = g_Results["engine frame"];
    const double plain = g_Results["plain frame"];
    if (engine <= 0 || plain <= 0)
        return;
    std::printf("\nmedian frame: engine %.3f ms (%.1f fps), plain %.3f ms (%.1f fps), engine overhead %+.1f %%\n",
                engine * 1e3, 1.0 / engine, plain * 1e3, 1.0 / plain, (engine / plain - 1.0) * 100.0);
    const char* points[2] = {"at the window corner", "over a square"};
    for (int which = 0; which < 2; ++which)
    {
        const std::string key = "selection " + std::to_string(which);
        std::printf("selection pass %s: engine %.3f ms = %.1f %% of its frame, plain %.3f ms = %.1f %% of its frame\n",
                    points[which], g_Results["engine " + key] * 1e3, g_Results["engine " + key] / engine * 100.0,
                    g_Results["plain " + key] * 1e3, g_Results["plain " + key] / plain * 100.0);
    }
}

} // namespace

int main(int argc, char** argv)
{
    openWindow();
    g_Scene = new Scene();
    Rendering::Render* render = Rendering::Render::instance();
    render->setParams("FrameBench", Vec3<double>(1, 1, 1), g_Scene->board);
    render->initGL();

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    summary();
    return 0;
}
