#include "support/TestBoard.h"

#include <GL/gl.h>

#include <Rendering/Camera.h>
#include <Rendering/Look.h>
#include <Rendering/Mesh.h>

#include "support/GLTestWindow.h"
#include "support/LogCapture.h"

namespace TabulaTest
{

int SpotProbe::destroyed = 0;

Core::Object* modelPiece(const std::string& path)
{
    LogCapture quiet;
    auto* piece = new Core::Object(Core::Object::ObjectAlignment(), path);
    if (piece->getMesh())
        piece->getMesh()->initList();
    return piece;
}

void SpotProbe::draw() const
{
    GLint mode = GL_RENDER;
    glGetIntegerv(GL_RENDER_MODE, &mode);
    if (mode != GL_RENDER)
        return Core::Object::draw();
    GLdouble m[16];
    glGetDoublev(GL_MODELVIEW_MATRIX, m);
    spot = Vec3<double>(m[12], m[13], m[14]);
    ++draws;
}

Core::Square::Coords cellCoords(unsigned int x0, unsigned int y0, unsigned int x1, unsigned int y1)
{
    Core::Square::Coords c;
    c.m_Corners[0] = Vec2<unsigned int>(x0, y0);
    c.m_Corners[1] = Vec2<unsigned int>(x1, y0);
    c.m_Corners[2] = Vec2<unsigned int>(x1, y1);
    c.m_Corners[3] = Vec2<unsigned int>(x0, y1);
    return c;
}

TestBoard::TestBoard(unsigned int w, unsigned int h)
    : Core::Grid(w, h), width(w), height(h), squares(getSquares()), board(getBoard())
{
    setCheckerColors(Vec4<double>(0.8, 0.1, 0.1, 1.0), Vec4<double>(0.9, 0.9, 0.9, 1.0));
}

Core::Object* TestBoard::addPiece(unsigned int x, unsigned int y, const Vec4<double>& color)
{
    auto* piece = new Core::Object(Core::Object::ObjectAlignment(), "");
    piece->setColor(color);
    at(x, y)->pushObject(piece);
    return piece;
}

Vec3<double> TestBoard::squareCentre(unsigned int x, unsigned int y) const
{
    return Vec3<double>(x + 0.5 - width / 2.0, 0.001, height / 2.0 - (y + 0.5));
}

void BoardSceneGLTest::SetUp()
{
    initEngine();
    rot = 0.0f;
    resetCamera(*render->getCamera());
    render->setParams("Board", Vec3<double>(1, 1, 1), scene.board);
}

void BoardSceneGLTest::TearDown()
{
    render->setLook(Rendering::Look());
    render->getHUDs().clear();
    render->getCallBacksFrame().clear();
    render->getCallBacksPicking().clear();
    render->setParams("Board", Vec3<double>(1, 1, 1), nullptr);
}

} // namespace TabulaTest
