#pragma once

#include <rules/Move.h>
#include <rules/Position.h>

#include <optional>
#include <vector>

namespace Draughts
{

/// English draughts (American checkers) on a position, with an undo history.
///
/// - Men step one cell diagonally forward (Black towards row 7, White towards
///   row 0); kings step one cell diagonally in any direction.
/// - A capture jumps an adjacent enemy piece onto the empty cell just beyond.
///   Men capture forward only, kings in every direction.
/// - Capturing is compulsory: when any piece of the side to move can capture,
///   only capture moves are legal. The player may choose any capture sequence,
///   not necessarily the longest, but must follow it to its end: a sequence
///   stops only when the piece has no further capture.
/// - Jumped pieces stay on the board until the move is over and are then
///   removed together; a piece cannot be jumped twice in one move. The cell the
///   moving piece started from counts as empty, so a king may land back on it.
/// - A man that reaches its crowning row becomes a king and the move ends
///   there, even when the new king could capture on.
/// - The side to move loses when it has no legal move (no pieces left, or all
///   blocked). There are no draws: repeated positions simply go on.
class Rules
{
public:
    /// Starts from Position::initial().
    Rules();
    explicit Rules(const Position& start);

    /// Starts again from the given position and forgets the history.
    void reset(const Position& start = Position::initial());

    const Position& position() const { return m_Position; }

    /// Legal moves of the side to move, in a fixed order (origin by row then
    /// column, branches in a fixed direction order). Empty when the game is over.
    const std::vector<Move>& legalMoves() const { return m_Legal; }

    /// The legal moves of the piece on this cell (empty for any other cell).
    std::vector<Move> movesFrom(Cell from) const;

    /// The legal moves whose path begins with these cells. Lets a player pick
    /// a capture sequence landing by landing when two sequences end on the
    /// same cell.
    std::vector<Move> movesStartingWith(const std::vector<Cell>& prefix) const;

    /// Plays the move if it is one of legalMoves(); returns false and changes
    /// nothing otherwise.
    bool play(const Move& move);

    /// Takes back the last played move, restoring the position exactly;
    /// false when there is nothing to take back.
    bool undo();

    /// Moves played since the start or the last reset, oldest first.
    const std::vector<Move>& history() const { return m_History; }

    bool isOver() const { return m_Legal.empty(); }

    /// The side that won, once the game is over.
    std::optional<Side> winner() const;

    /// Every legal move of the side to move in the position.
    static std::vector<Move> generateMoves(const Position& position);

    /// The position after the move, with the turn passed: the piece goes to the
    /// last cell of the path, captured cells are emptied, a man on its crowning
    /// row becomes a king. Legality is not checked.
    static Position apply(const Position& position, const Move& move);

private:
    Position m_Position;
    std::vector<Move> m_Legal;
    std::vector<Move> m_History;
    // The position before each move of m_History, so undo is exact.
    std::vector<Position> m_Before;
};

} // namespace Draughts
