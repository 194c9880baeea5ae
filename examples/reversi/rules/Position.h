#pragma once

#include <array>
#include <string>
#include <vector>

namespace Reversi
{

enum class Disc
{
    Empty,
    Black,
    White
};

/// A square of the 8x8 board: x is the column (0 = a), y the row (0 = 1).
struct Cell
{
    int x;
    int y;

    bool operator==(const Cell& other) const { return x == other.x && y == other.y; }
    /// "a1" … "h8".
    std::string name() const;
};

/// What a move did: the discs it turned over, in the order of the eight
/// directions and outwards from the move, and whether the side after the
/// mover had to pass.
struct Played
{
    std::vector<Cell> m_Flipped;
    bool m_Passed = false;
};

/// A game of Reversi under the Othello rules: Black moves first from the four
/// centre discs (d5 and e4 Black, d4 and e5 White); a move puts a disc on an
/// empty square and must turn over at least one line of the other side's
/// discs that it closes with one of its own; a side with no move passes; the
/// game ends when neither side can move.
class Position
{
public:
    Position();
    /// A position drawn as a diagram: eight rows from row 8 down to row 1,
    /// each eight characters from column a: 'B' Black, 'W' White, '.' empty.
    Position(const std::array<const char*, 8>& rows, Disc toMove);

    Disc at(Cell cell) const { return m_Discs[cell.y][cell.x]; }
    /// The side to move; meaningless once the game is over.
    Disc toMove() const { return m_ToMove; }
    /// The discs a move by the side to move at `cell` would turn over; empty
    /// when the move is not legal.
    std::vector<Cell> flipsOf(Cell cell) const;
    /// Every legal move of the side to move, in row order then column order.
    std::vector<Cell> legalMoves() const;
    bool isOver() const { return m_Over; }
    int count(Disc side) const;
    /// Plays a legal move (false and nothing changes otherwise), then hands
    /// the turn over: to the other side, back to the mover when the other
    /// side has no move, to nobody when neither has one.
    bool play(Cell cell, Played* played = nullptr);

    static Disc opponent(Disc side) { return side == Disc::Black ? Disc::White : Disc::Black; }
    static std::string sideName(Disc side);

private:
    std::vector<Cell> flipsFor(Disc side, Cell cell) const;
    bool canMove(Disc side) const;

    std::array<std::array<Disc, 8>, 8> m_Discs;
    Disc m_ToMove;
    bool m_Over;
};

} // namespace Reversi
