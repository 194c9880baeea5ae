#pragma once

namespace Draughts
{

/// A cell of the 8x8 board: column x from 0 (left) to 7 (right), row y from
/// 0 (Black's side) to 7 (White's side). Play uses the dark cells only, those
/// where x + y is even, so the corner (0, 0) is dark.
struct Cell
{
    int x = 0;
    int y = 0;

    bool isOnBoard() const { return x >= 0 && x < 8 && y >= 0 && y < 8; }
    bool isDark() const { return isOnBoard() && (x + y) % 2 == 0; }

    bool operator==(const Cell& other) const { return x == other.x && y == other.y; }
    bool operator!=(const Cell& other) const { return !(*this == other); }
};

} // namespace Draughts
