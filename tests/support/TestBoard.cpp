#include "support/TestBoard.h"

#include <GL/gl.h>

namespace TabulaTest
{

int SpotProbe::destroyed = 0;

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

TestBoard::TestBoard(unsigned int w, unsigned int h) : width(w), height(h)
{
    for (unsigned int y = 0; y < height; ++y)
        for (unsigned int x = 0; x < width; ++x)
        {
            Core::Square::Coords c;
            c.m_Corners[0] = Vec2<unsigned int>(x, y);
            c.m_Corners[1] = Vec2<unsigned int>(x + 1, y);
            c.m_Corners[2] = Vec2<unsigned int>(x + 1, y + 1);
            c.m_Corners[3] = Vec2<unsigned int>(x, y + 1);
            auto* square = new Core::Square(c, {});
            square->setColor((x + y) % 2 == 0 ? Vec4<double>(0.8, 0.1, 0.1, 1.0) : Vec4<double>(0.9, 0.9, 0.9, 1.0));
            squares.push_back(square);
        }
    board = std::make_unique<Core::Board>(Vec2<unsigned int>(width, height), squares);
}

TestBoard::~TestBoard()
{
    board.reset();
    for (Core::Square* square : squares)
        delete square;
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

} // namespace TabulaTest
