#pragma once

#include <Core/Object.h>
#include <Core/Square.h>
#include <Math/Vec3.h>

namespace Core
{

/// Where `piece`'s origin is drawn on `square` this frame, in board
/// coordinates: its spot there, plus the offset of an animated move under way.
/// The body offset (Object::getBodyOffset) is not included: Object::draw adds
/// it itself.
inline Vec3<double> drawnPlace(const Square& square, const Object& piece)
{
    return square.getSpot(piece) + piece.getDrawOffset();
}

} // namespace Core
