#pragma once

#include <initializer_list>
#include <utility>

#include <rules/Position.h>

namespace Draughts
{

/// A position holding just `pieces`, with `toMove` to play.
inline Position board(std::initializer_list<std::pair<Cell, Piece>> pieces, Side toMove = Side::Black)
{
    Position position;
    for (const auto& [cell, piece] : pieces)
        position.set(cell, piece);
    position.setToMove(toMove);
    return position;
}

} // namespace Draughts
