#include "support/TestBoard.h"

namespace TabulaTest
{

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

} // namespace TabulaTest
