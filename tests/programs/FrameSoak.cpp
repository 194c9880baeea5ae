// A long game without a game: runs the engine's own frame loop (Render::run,
// selection pass and all) on a scene for a number of frames with the pointer
// held over a piece, and checks that resident memory stays flat.
//
//   FrameSoak SCENE MODEL FRAMES MAX_GROWTH_MB
//     SCENE  draughts: 8x8 board, 24 pieces on the dark squares of the three
//                      back rows each side, 4 of them spheres, the rest MODEL
//            detailed: 8x8 board, 32 MODEL pieces on the two back rows each side
//     MAX_GROWTH_MB  largest allowed growth of resident memory between frame
//                    200 and the last frame (the lowest of the last 500);
//                    negative: report only
//
// Prints one line with both figures and exits 0, or 1 when memory grew more
// than allowed or the pointer never picked the square under it.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <unistd.h>

#include <Core/Board.h>
#include <Core/Object.h>
#include <Core/Square.h>
#include <Rendering/HUD.h>
#include <Rendering/Render.h>

#include "support/GLTestWindow.h"
#include "support/TestBoard.h"

// X11 defines macros (None, Bool) that clash with the headers above.
#include <GL/glx.h>
#include <X11/Xlib.h>

namespace
{

const int c_FirstMeasuredFrame = 200;
const int c_EndFrames = 500;
// The square whose piece the pointer rests on: a piece in both scenes.
const unsigned int c_PointerX = 1;
const unsigned int c_PointerY = 1;

double residentMegabytes()
{
    long pages = 0, resident = 0;
    if (FILE* statm = std::fopen("/proc/self/statm", "r"))
    {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(statm);
    }
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

// Moves the engine's pick position the way the window system does: a
// motion event with no button held, sent to this window, so that GLUT's
// passive-motion path handles it. Sent rather than warped so that another
// window on the same display cannot take it.
void pointAt(int x, int y)
{
    Display* display = glXGetCurrentDisplay();
    XEvent event{};
    event.xmotion.type = MotionNotify;
    event.xmotion.display = display;
    event.xmotion.window = glXGetCurrentDrawable();
    event.xmotion.root = DefaultRootWindow(display);
    event.xmotion.x = x;
    event.xmotion.y = y;
    event.xmotion.same_screen = True;
    XSendEvent(display, event.xmotion.window, False, PointerMotionMask, &event);
    XFlush(display);
}

struct Soak : Rendering::HUD
{
    Soak(TabulaTest::TestBoard& scene, int frames, double maxGrowth)
        : m_Scene(scene), m_Frames(frames), m_MaxGrowth(maxGrowth)
    {
    }

    void draw() override
    {
        ++m_Frame;
        if (m_Frame == 1)
        {
            const Vec3<double> centre = m_Scene.squareCentre(c_PointerX, c_PointerY);
            const TabulaTest::WindowPoint p = TabulaTest::projectToWindow(centre.x(), centre.y(), centre.z());
            pointAt(static_cast<int>(p.x), static_cast<int>(p.y));
        }
        if (m_Frame == c_FirstMeasuredFrame)
            m_Start = residentMegabytes();
        // The end figure is the lowest of the last 500 frames: the driver's
        // buffers for a detailed frame move resident memory up and down by
        // about 2 MB for hundreds of frames at a time, while a leak only
        // grows (one of 1 KB a frame still shows as 2 MB at frame 2,000).
        if (m_Frame > m_Frames - c_EndFrames)
            m_End = std::min(m_End, residentMegabytes());
        if (m_Frame < m_Frames)
            return;
        const double end = m_End;
        const bool picked = m_Scene.board->getHighlightedSquare() == m_Scene.at(c_PointerX, c_PointerY);
        std::printf("resident memory: frame %d %.1f MB, frame %d %.1f MB, growth %.2f MB; pointer %s\n",
                    c_FirstMeasuredFrame, m_Start, m_Frames, end, end - m_Start,
                    picked ? "picks its square" : "picks nothing");
        std::fflush(stdout);
        const bool grew = m_MaxGrowth >= 0 && end - m_Start > m_MaxGrowth;
        std::exit(grew || !picked ? 1 : 0);
    }

    TabulaTest::TestBoard& m_Scene;
    int m_Frames;
    double m_MaxGrowth;
    int m_Frame = 0;
    double m_Start = 0;
    double m_End = 1e12;
};

} // namespace

int main(int argc, char** argv)
{
    if (argc != 5)
    {
        std::fprintf(stderr, "usage: FrameSoak draughts|detailed MODEL FRAMES MAX_GROWTH_MB\n");
        return 2;
    }
    const std::string sceneName = argv[1];
    const std::string model = argv[2];
    const int frames = std::max(std::atoi(argv[3]), c_FirstMeasuredFrame + 1);
    TabulaTest::TestBoard scene;
    int count = 0;
    for (unsigned int y = 0; y < 8; ++y)
        for (unsigned int x = 0; x < 8; ++x)
        {
            const bool draughts = sceneName == "draughts";
            if (draughts ? (x + y) % 2 != 0 || (y > 2 && y < 5) : y > 1 && y < 6)
                continue;
            const bool sphere = draughts && count++ % 6 == 0;
            auto* piece = new Core::Object(Core::Object::ObjectAlignment(), sphere ? "" : model);
            piece->setColor(y < 4 ? Vec4<double>(0.9, 0.9, 0.8, 1) : Vec4<double>(0.2, 0.2, 0.2, 1));
            scene.at(x, y)->pushObject(piece);
        }
    scene.board->setAutoHighlight(true);

    Soak soak(scene, frames, std::atof(argv[4]));
    Rendering::Render* render = Rendering::Render::instance();
    render->setParams("Tabula soak " + sceneName, Vec3<double>(1, 1, 1), scene.board);
    render->getHUDs().push_back(&soak);
    render->run();
}
