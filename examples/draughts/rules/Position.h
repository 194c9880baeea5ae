#pragma once

#include <rules/Cell.h>
#include <rules/Piece.h>

#include <array>

namespace Draughts
{

/// The pieces on the board and the side to move. A plain value: copy it to
/// keep a snapshot.
class Position
{
public:
    /// An empty board with Black to move.
    Position();

    /// Twelve men each on the dark cells of the three rows nearest their
    /// owner (Black rows 0-2, White rows 5-7), Black to move.
    static Position initial();

    /// Piece::Empty for a light cell or one off the board.
    Piece at(Cell cell) const;

    /// Only dark cells hold pieces: writes to a light cell or off the board
    /// are ignored.
    void set(Cell cell, Piece piece);

    Side toMove() const { return m_ToMove; }
    void setToMove(Side side) { m_ToMove = side; }

    /// Men and kings of the side still on the board.
    int count(Side side) const;

    bool operator==(const Position& other) const;
    bool operator!=(const Position& other) const { return !(*this == other); }

private:
    // Row-major from (0, 0); light cells stay Empty.
    std::array<Piece, 64> m_Cells;
    Side m_ToMove;
};

} // namespace Draughts
