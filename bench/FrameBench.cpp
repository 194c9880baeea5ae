// Cost of the engine's frame against a plain OpenGL program that issues the
// same two passes by hand (every primitive drawn in both, the selection pass
// included), on:
//   - the reference scene: 8x8 board, 24 sphere pieces, and the share of a
//     frame spent in the selection pass;
//   - a detail sweep: 8x8 board, 32 model pieces of about 300, 3,000 and
//     20,000 triangles (tori written by the model generator at build time,
//     drawn by both programs from the same display lists): the engine's
//     selection pass at each detail against the one at 300 triangles, and
//     its frame against the plain one;
//   - a 19x19 board with 361 sphere pieces: the engine's frame against the
//     plain one.
// Every frame ends with glFinish so the rasteriser's work is counted. Run
// under Xvfb.

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
#include <Core/Grid.h>
#include <Core/Object.h>
#include <Core/Square.h>
#include <Rendering/Camera.h>
#include <Rendering/Geometry.h>
#include <Rendering/Look.h>
#include <Rendering/Mesh.h>
#include <Rendering/Primitive.h>
#include <Rendering/Render.h>

namespace
{
using Clock = std::chrono::steady_clock;

const int c_Width = 1024;
const int c_Height = 728;

// Median seconds of each measured pass, by name, for the closing summary.
std::map<std::string, double> g_Results;

// A width x height board of unit squares built with the library's classes as
// a game does, dark squares brown-red, light ones grey. `piece(x, y)` says
// whether square (x, y) holds a piece; the pieces are spheres, or `model`.
struct Scene : Core::Grid
{
    template <typename Placement>
    Scene(unsigned int width, unsigned int height, Placement piece, const std::string& model = "")
        : Core::Grid(width, height), squares(getSquares()), board(getBoard())
    {
        setCheckerColors(Vec4<double>(0.5, 0.1, 0.1, 1), Vec4<double>(0.9, 0.9, 0.9, 1));
        for (unsigned int y = 0; y < height; ++y)
            for (unsigned int x = 0; x < width; ++x)
                if (piece(x, y))
                {
                    auto* object = new Core::Object(Core::Object::ObjectAlignment(), model);
                    object->setColor(y < height / 2 ? Vec4<double>(1, 1, 1, 1) : Vec4<double>(0.1, 0.1, 0.1, 1));
                    getSquare(x, y)->pushObject(object);
                }
        board->setAutoHighlight(true);
        board->setColor(Vec4<double>(0.4, 0.25, 0.1, 1));
    }

    const std::vector<Core::Square*>& squares;
    Core::Board* const board;
};

// The reference scene: three rows of four pieces on each side as in draughts.
Scene* makeReference()
{
    return new Scene(8, 8, [](unsigned int x, unsigned int y) { return (x + y) % 2 == 0 && (y < 3 || y > 4); });
}

// The detail sweep: two full rows on each side, as in chess.
const int c_Details[] = {300, 3000, 20000};
std::map<int, Scene*> g_Detailed;
Scene* makeDetailed(int triangles)
{
    const std::string model =
        std::string(TABULA_BENCH_BINARY_DIR) + "/models/torus-" + std::to_string(triangles) + ".ase";
    return new Scene(
        8, 8, [](unsigned int, unsigned int y) { return y < 2 || y > 5; }, model);
}

// A go board filled up.
Scene* g_Go = nullptr;

Scene* g_Scene = nullptr;

void idle() {}

bool g_Multisample = false;

void openWindow()
{
    int argc = 1;
    char name[] = "FrameBench";
    char* argv[] = {name, nullptr};
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGBA | GLUT_DOUBLE | GLUT_DEPTH | GLUT_STENCIL | (g_Multisample ? GLUT_MULTISAMPLE : 0));
    glutInitWindowSize(c_Width, c_Height);
    glutInitWindowPosition(100, 100);
    glutCreateWindow("FrameBench");
    glDisable(GL_MULTISAMPLE);
    glutDisplayFunc(idle);
    for (int i = 0; i < 5; ++i)
        glutMainLoopEvent();
}

// Window point over the middle of square (3, 4) of an 8x8 board, or over the
// piece on square (3, 1), for selection passes that hit.
void boardPoint(int& x, int& y, bool piece = false)
{
    Rendering::Camera* camera = Rendering::Render::instance()->getCamera();
    const Matrix<double>& v = camera->getTransformationMatrix();
    const Matrix<double>& p = camera->getProjectionMatrix();
    const double world[4] = {-0.5, piece ? 0.1 : 0.001, piece ? 2.5 : 0.5, 1.0};
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

// A piece's body: its model's display lists (texture-less models), or the sphere.
void drawBody(const Core::Object& piece)
{
    if (!piece.getMesh())
    {
        glutSolidSphere(0.2, 10, 10);
        return;
    }
    for (Rendering::Geometry* geometry : piece.getMesh()->getGeometries())
        for (Rendering::Primitive* primitive : geometry->getPrimitives())
            glCallList(primitive->getDisplayList());
}

void drawScene(const Scene& scene)
{
    const Core::Board& board = *scene.board;
    const double w = board.getSize().x(), h = board.getSize().y();
    glPushMatrix();
    glPushName(board.getPickingName());
    glTranslated(-w / 2, 0, h / 2);
    const Vec4<double>& slab = board.getColor();
    glBegin(GL_QUADS);
    glColor4d(slab.x(), slab.y(), slab.z(), slab.w());
    slabPoints(w, h, 0.25);
    glEnd();
    glBegin(GL_LINES);
    glColor4d(0, 0, 0, 1);
    slabPoints(w, h, 0.25);
    glEnd();
    glPopName();

    for (const Core::Square* square : scene.squares)
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

    for (const Core::Square* square : scene.squares)
        for (const Core::Object* piece : square->getObjects())
        {
            const Vec4<double>& c = piece->getColor();
            const GLfloat material[4] = {GLfloat(c.x()), GLfloat(c.y()), GLfloat(c.z()), GLfloat(c.w())};
            glPushMatrix();
            glTranslated(square->getLower().x() + 0.5, piece->deltaTranslateY(), -(square->getLower().y() + 0.5));
            glPushName(piece->getPickingName());
            glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE, material);
            glColor4d(c.x(), c.y(), c.z(), c.w());
            drawBody(*piece);
            glPopName();
            glPopMatrix();
        }
    glPopMatrix();
}

void selectionPass(int x, int y, const Scene& scene)
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
    drawScene(scene);
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

void frame(int x, int y, const Scene& scene)
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    glPushMatrix();
    selectionPass(x, y, scene);
    light();
    drawScene(scene);
    glPopMatrix();
    glutSwapBuffers();
}
} // namespace Plain

// Pointer positions: 0 is the window's corner (where the engine picks until
// the pointer first moves, so its frame loop here picks there), 1 is over a
// square, 2 over a piece of the detailed scenes.
void pickPoint(int which, int& x, int& y)
{
    x = 0;
    y = 0;
    if (which > 0)
        boardPoint(x, y, which == 2);
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
    // The ratio within each iteration: the two frames of a pair meet nearly
    // the same load from the rest of the machine.
    std::vector<double> ratios;
    for (std::size_t i = 0; i < engineTimes.size(); ++i)
        ratios.push_back(engineTimes[i] / plainTimes[i]);
    g_Results["ratio " + name] = median(ratios);
    g_Results["engine " + name] = e;
    g_Results["plain " + name] = p;
    state.counters["engine_ms"] = e * 1e3;
    state.counters["plain_ms"] = p * 1e3;
    state.counters["overhead_pct"] = (e / p - 1.0) * 100.0;
}

// The engine's frame loop on `scene` against the plain program's frame, both
// picking at the window's corner.
void framePair(benchmark::State& state, const std::string& name, Scene& scene)
{
    Rendering::Render* render = Rendering::Render::instance();
    render->setParams("FrameBench", Vec3<double>(1, 1, 1), scene.board);
    pair(
        state, name, [&] { render->loop(); }, [&] { Plain::frame(0, 0, scene); });
}

// One selection pass on `scene` at pointer position `which` (see pickPoint).
void selectionPair(benchmark::State& state, const std::string& name, Scene& scene, int which)
{
    Rendering::Render* render = Rendering::Render::instance();
    int x = 0, y = 0;
    pickPoint(which, x, y);
    pair(
        state, name,
        [&]
        {
            glPushMatrix();
            render->startPicking(x, y);
            scene.board->draw();
            render->stopPicking();
            glPopMatrix();
        },
        [&]
        {
            glPushMatrix();
            Plain::selectionPass(x, y, scene);
            glPopMatrix();
        });
}

void BM_Frame(benchmark::State& state)
{
    framePair(state, "frame", *g_Scene);
    state.counters["engine_fps"] = 1.0 / g_Results["engine frame"];
    state.counters["plain_fps"] = 1.0 / g_Results["plain frame"];
}

void BM_SelectionPass(benchmark::State& state)
{
    selectionPair(state, "selection " + std::to_string(state.range(0)), *g_Scene, static_cast<int>(state.range(0)));
}

// Arguments: triangles per piece, pointer position (1 over a square, 2 over a piece).
void BM_DetailSelection(benchmark::State& state)
{
    const int triangles = static_cast<int>(state.range(0));
    selectionPair(state, "detail selection " + std::to_string(triangles) + " " + std::to_string(state.range(1)),
                  *g_Detailed[triangles], static_cast<int>(state.range(1)));
}

// The engine's selection pass alone, pass after pass: its cost without the
// plain program's pass between two of its own (which, at high detail, leaves
// the processor's caches cold).
void BM_DetailSelectionAlone(benchmark::State& state)
{
    const int triangles = static_cast<int>(state.range(0));
    Scene& scene = *g_Detailed[triangles];
    Rendering::Render* render = Rendering::Render::instance();
    int x = 0, y = 0;
    pickPoint(static_cast<int>(state.range(1)), x, y);
    std::vector<double> times;
    for (auto _ : state)
    {
        const Clock::time_point t0 = Clock::now();
        glPushMatrix();
        render->startPicking(x, y);
        scene.board->draw();
        render->stopPicking();
        glPopMatrix();
        glFinish();
        times.push_back(std::chrono::duration<double>(Clock::now() - t0).count());
    }
    g_Results["alone " + std::to_string(triangles) + " " + std::to_string(state.range(1))] = median(times);
}

void BM_DetailFrame(benchmark::State& state)
{
    const int triangles = static_cast<int>(state.range(0));
    framePair(state, "detail frame " + std::to_string(triangles), *g_Detailed[triangles]);
}

void BM_GoFrame(benchmark::State& state)
{
    framePair(state, "go frame", *g_Go);
}

// The engine's frame on the detailed scene with `look`, multisampled when the
// window is and the look asks for it.
void lookFrame(const Rendering::Look& look)
{
    Rendering::Render* render = Rendering::Render::instance();
    render->setLook(look);
    if (g_Multisample && look.m_Antialiasing)
        glEnable(GL_MULTISAMPLE);
    else
        glDisable(GL_MULTISAMPLE);
    render->loop();
}

// Argument: triangles per piece. "engine" is the modern look, "plain" the default.
void BM_LookFrame(benchmark::State& state)
{
    const std::string t = std::to_string(state.range(0));
    Scene& scene = *g_Detailed[static_cast<int>(state.range(0))];
    Rendering::Render::instance()->setParams("FrameBench", Vec3<double>(1, 1, 1), scene.board);
    pair(
        state, "look frame " + t, [] { lookFrame(Rendering::Look::modern()); }, [] { lookFrame(Rendering::Look()); });
    Rendering::Render::instance()->setLook(Rendering::Look());
}

// The selection pass over a piece at 20,000 triangles under each look.
void BM_LookSelection(benchmark::State& state)
{
    Scene& scene = *g_Detailed[20000];
    Rendering::Render* render = Rendering::Render::instance();
    int x = 0, y = 0;
    pickPoint(2, x, y);
    const auto pass = [&](const Rendering::Look& look)
    {
        render->setLook(look);
        glPushMatrix();
        render->startPicking(x, y);
        scene.board->draw();
        render->stopPicking();
        glPopMatrix();
    };
    pair(
        state, "look selection", [&] { pass(Rendering::Look::modern()); }, [&] { pass(Rendering::Look()); });
    render->setLook(Rendering::Look());
}

BENCHMARK(BM_Frame)->UseRealTime()->MinTime(3.0);
BENCHMARK(BM_SelectionPass)->Arg(0)->Arg(1)->UseRealTime()->MinTime(1.0);
BENCHMARK(BM_DetailSelection)->ArgsProduct({{300, 3000, 20000}, {1, 2}})->UseRealTime()->MinTime(1.0);
BENCHMARK(BM_DetailSelectionAlone)->ArgsProduct({{300, 3000, 20000}, {1, 2}})->UseRealTime()->MinTime(0.5);
BENCHMARK(BM_DetailFrame)->Arg(300)->Arg(3000)->Arg(20000)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_GoFrame)->UseRealTime()->MinTime(3.0);
BENCHMARK(BM_LookFrame)->Arg(300)->Arg(3000)->Arg(20000)->UseRealTime()->MinTime(5.0);
BENCHMARK(BM_LookSelection)->UseRealTime()->MinTime(1.0);

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

    std::printf("\ndetail sweep, 32 model pieces (selection x: engine pass against the engine's at 300 triangles;"
                "\nframe x: engine frame against the plain frame drawing the same display lists)\n");
    std::printf("%9s | %-34s | %-34s | %s\n", "triangles", "selection over a square, ms (x)",
                "selection over a piece, ms (x)", "frame engine / plain, ms (x)");
    for (int triangles : c_Details)
    {
        const std::string t = std::to_string(triangles);
        double selection[2], base[2];
        for (int which = 1; which <= 2; ++which)
        {
            selection[which - 1] = g_Results["engine detail selection " + t + " " + std::to_string(which)];
            base[which - 1] = g_Results["engine detail selection 300 " + std::to_string(which)];
        }
        const double e = g_Results["engine detail frame " + t], p = g_Results["plain detail frame " + t];
        std::printf("%9d | %8.3f (%4.2fx; plain %8.3f) | %8.3f (%4.2fx; plain %8.3f) | %7.3f / %7.3f (%4.2fx)\n",
                    triangles, selection[0] * 1e3, selection[0] / base[0],
                    g_Results["plain detail selection " + t + " 1"] * 1e3, selection[1] * 1e3, selection[1] / base[1],
                    g_Results["plain detail selection " + t + " 2"] * 1e3, e * 1e3, p * 1e3, e / p);
    }
    std::printf("engine selection pass alone, pass after pass, ms (x against 300 triangles):\n");
    for (int triangles : c_Details)
    {
        const std::string t = std::to_string(triangles);
        std::printf("%9d | over a square %.3f (%.2fx) | over a piece %.3f (%.2fx)\n", triangles,
                    g_Results["alone " + t + " 1"] * 1e3, g_Results["alone " + t + " 1"] / g_Results["alone 300 1"],
                    g_Results["alone " + t + " 2"] * 1e3, g_Results["alone " + t + " 2"] / g_Results["alone 300 2"]);
    }
    const double goEngine = g_Results["engine go frame"], goPlain = g_Results["plain go frame"];
    std::printf("\n19x19 board, 361 sphere pieces: frame engine %.3f ms, plain %.3f ms (%.2fx)\n", goEngine * 1e3,
                goPlain * 1e3, goEngine / goPlain);
}

void lookSummary()
{
    if (g_Results["plain look frame 300"] <= 0)
        return;
    std::printf("\nlook, 32 model pieces: engine frame with Look::modern() against the default Look%s\n",
                g_Multisample ? " (multisampled window, antialiasing on in the modern frames)" : "");
    for (int triangles : c_Details)
    {
        const std::string t = std::to_string(triangles);
        const double modern = g_Results["engine look frame " + t], plain = g_Results["plain look frame " + t];
        std::printf("%9d | modern %8.3f ms / default %8.3f ms (%4.2fx; median of the pairs' ratios %4.2fx)\n",
                    triangles, modern * 1e3, plain * 1e3, modern / plain, g_Results["ratio look frame " + t]);
    }
    const double modernPick = g_Results["engine look selection"], plainPick = g_Results["plain look selection"];
    std::printf("selection pass over a piece, 20000 triangles: modern %.3f ms / default %.3f ms (%4.2fx)\n",
                modernPick * 1e3, plainPick * 1e3, modernPick / plainPick);
}

} // namespace

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i)
        if (std::string(argv[i]) == "--multisample")
        {
            g_Multisample = true;
            std::copy(argv + i + 1, argv + argc, argv + i);
            --argc;
            break;
        }
    openWindow();
    g_Scene = makeReference();
    for (int triangles : c_Details)
        g_Detailed[triangles] = makeDetailed(triangles);
    g_Go = new Scene(19, 19, [](unsigned int, unsigned int) { return true; });
    Rendering::Render* render = Rendering::Render::instance();
    render->setParams("FrameBench", Vec3<double>(1, 1, 1), g_Scene->board);
    render->initGL();

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    summary();
    lookSummary();
    return 0;
}
