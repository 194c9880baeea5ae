#pragma once

#include <rules/Cell.h>

#include <string>
#include <vector>

namespace Draughts
{

/// One turn of one piece: a single step, or a whole capture sequence.
class Move
{
public:
    /// path: the origin then every landing cell, in order (two cells for a
    /// step or a single jump). captured: the jumped cells in jump order.
    /// promotes: a man ends the move on its crowning row.
    Move(std::vector<Cell> path, std::vector<Cell> captured, bool promotes);

    const std::vector<Cell>& path() const { return m_Path; }
    const std::vector<Cell>& captured() const { return m_Captured; }

    /// (-1, -1), off the board, for a move built with an empty path.
    Cell from() const;
    Cell to() const;

    bool isCapture() const { return !m_Captured.empty(); }
    bool promotes() const { return m_Promotes; }

    /// Cells named by column letter a-h and row number 1-8 ((0, 0) is "a1"),
    /// joined by '-' for a step and 'x' for jumps: "c3-d4", "a1xc3xe5". A cell
    /// off the board reads "??".
    std::string toString() const;

    bool operator==(const Move& other) const;
    bool operator!=(const Move& other) const { return !(*this == other); }

private:
    std::vector<Cell> m_Path;
    std::vector<Cell> m_Captured;
    bool m_Promotes;
};

} // namespace Draughts
