// A small game for the end-to-end input tests: an 8x8 board with automatic
// highlighting, run by the engine in a real window. It reports on its
// standard output, one flushed line per event:
//   ready W H              first frame drawn; window size in pixels
//   highlight X Y | none   the highlighted square changed (grid coordinates)
//   camera PX PY PZ QX QY QZ QW   the camera moved or turned
//   click NAME X Y | none  a picking record's handler ran (records A then B)
//   key CODE X Y           a key reached the keyboard record
//   frame                  the first frame after a key reached the game
// With the argument "keyboard", keyboard play is on, a White man stands on
// (1, 0), a click function runs after the records as "click C X Y", and
// every announcement is reported:
//   say TEXT

#include <cstdio>
#include <iostream>
#include <sstream>
#include <string>

#include <Core/CallBackKeyboard.h>
#include <Core/CallBackPicking.h>
#include <Core/Meta.h>
#include <Core/Object.h>
#include <Core/Square.h>
#include <Rendering/Camera.h>
#include <Rendering/HUD.h>
#include <Rendering/Render.h>

#include "support/TestBoard.h"

namespace
{

bool g_KeySeen = false;

std::string squareText(const Core::Square* square)
{
    if (!square)
        return "none";
    std::ostringstream text;
    text << square->getLower().x() << ' ' << square->getLower().y();
    return text.str();
}

void report(const std::string& line)
{
    std::cout << line << std::endl;
}

struct ClickRecord : Core::CallBackPicking
{
    explicit ClickRecord(std::string name) : m_Name(std::move(name)) {}
    void execute() override { report("click " + m_Name + ' ' + squareText(m_PickedSquare)); }
    std::string m_Name;
};

struct KeyRecord : Core::CallBackKeyboard
{
    void execute() override
    {
        report("key " + std::to_string(m_Key) + ' ' + std::to_string(m_X) + ' ' + std::to_string(m_Y));
        g_KeySeen = true;
    }
};

// Drawn every frame after the picking pass, so it sees each pass's outcome.
struct Observer : Rendering::HUD
{
    explicit Observer(Core::Board* board) : m_Board(board) {}

    void draw() override
    {
        Rendering::Render* render = Rendering::Render::instance();
        if (m_First)
        {
            report("ready " + std::to_string(render->getSize().x()) + ' ' + std::to_string(render->getSize().y()));
            m_First = false;
        }
        const std::string highlight = squareText(m_Board->getHighlightedSquare());
        if (highlight != m_Highlight)
            report("highlight " + highlight);
        m_Highlight = highlight;

        Rendering::Camera* camera = render->getCamera();
        const Vec3<double>& p = camera->getPosition();
        const Quat<double>& q = camera->getOrientation();
        char text[256];
        std::snprintf(text, sizeof text, "camera %.9f %.9f %.9f %.9f %.9f %.9f %.9f", p.x(), p.y(), p.z(), q.x(), q.y(),
                      q.z(), q.w());
        if (m_Camera != text)
            report(text);
        m_Camera = text;

        if (g_KeySeen)
            report("frame");
        g_KeySeen = false;
    }

    Core::Board* m_Board;
    bool m_First = true;
    std::string m_Highlight = "none";
    std::string m_Camera;
};

} // namespace

int main(int argc, char** argv)
{
    TabulaTest::TestBoard scene;
    scene.board->setAutoHighlight(true);

    ClickRecord first("A");
    ClickRecord second("B");
    KeyRecord keys;
    Observer observer(scene.board);

    Rendering::Render* render = Rendering::Render::instance();
    render->setParams("Tabula Picking", Vec3<double>(1, 1, 1), scene.board);
    render->getCallBacksPicking().push_back(&first);
    render->getCallBacksPicking().push_back(&second);
    render->getCallBacksKeyboard().push_back(&keys);
    render->getHUDs().push_back(&observer);

    Core::Meta<std::string> side("side", "White"), kind("kind", "man");
    if (argc > 1 && std::string(argv[1]) == "keyboard")
    {
        Core::Object* man = scene.addPiece(1, 0, Vec4<double>(1, 1, 1, 1));
        man->addMeta(&side);
        man->addMeta(&kind);
        render->onClick([](Core::Square* square) { report("click C " + squareText(square)); });
        render->setKeyboardPlay(true);
        render->setAnnouncer([](const std::string& text) { report("say " + text); });
    }
    render->run();
}
