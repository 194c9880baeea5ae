#pragma once

#include <cstdint>

namespace Draughts
{

/// The two players. Black sits on rows 0 to 2 at the start and moves first.
enum class Side : std::uint8_t
{
    Black,
    White
};

/// What a cell holds.
enum class Piece : std::uint8_t
{
    Empty,
    BlackMan,
    BlackKing,
    WhiteMan,
    WhiteKing
};

inline Side opponent(Side side)
{
    return side == Side::Black ? Side::White : Side::Black;
}

inline bool isKing(Piece piece)
{
    return piece == Piece::BlackKing || piece == Piece::WhiteKing;
}

/// False for Piece::Empty.
inline bool belongsTo(Piece piece, Side side)
{
    if (side == Side::Black)
        return piece == Piece::BlackMan || piece == Piece::BlackKing;
    return piece == Piece::WhiteMan || piece == Piece::WhiteKing;
}

inline Piece kingOf(Side side)
{
    return side == Side::Black ? Piece::BlackKing : Piece::WhiteKing;
}

/// Row direction in which the side's men move: Black up (+1), White down (-1).
inline int forward(Side side)
{
    return side == Side::Black ? 1 : -1;
}

/// The row on which the side's men are crowned.
inline int crowningRow(Side side)
{
    return side == Side::Black ? 7 : 0;
}

} // namespace Draughts
