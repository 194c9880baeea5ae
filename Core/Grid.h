#pragma once

#include <TabulaExport.h>

#include <memory>
#include <vector>

#include <Math/Vec2.h>
#include <Math/Vec4.h>

namespace Core
{

class Board;
class Square;

/// The board nearly every game needs: `width` x `depth` unit squares.
/// Square (x, y) has corners (x, y), (x + 1, y), (x + 1, y + 1), (x, y + 1) in
/// that order: x runs across the board, y along its depth (drawn towards -z).
/// The squares are listed row by row (y, then x), which is the order the
/// board draws them in.
///
/// Ownership: the grid owns its board and its squares, and so, through the
/// squares, every piece standing on them. Destroy the grid only when the
/// engine no longer draws its board.
class TABULA_EXPORT Grid
{
public:
    Grid(unsigned int width, unsigned int depth);
    ~Grid();
    Grid(const Grid&) = delete;
    Grid& operator=(const Grid&) = delete;

    Board* getBoard() const { return m_Board.get(); }
    /// The square at (x, y), or null outside the grid.
    Square* getSquare(unsigned int x, unsigned int y) const;
    const std::vector<Square*>& getSquares() const { return m_Squares; }
    const Vec2<unsigned int>& getSize() const { return m_Size; }

    /// Colours the squares as a chequerboard: `dark` where x + y is even.
    void setCheckerColors(const Vec4<double>& dark, const Vec4<double>& light);

private:
    Vec2<unsigned int> m_Size;
    std::vector<Square*> m_Squares;
    std::unique_ptr<Board> m_Board;
};

} // namespace Core
