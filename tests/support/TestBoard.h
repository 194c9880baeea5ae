#pragma once

#include <memory>
#include <vector>

#include <Core/Board.h>
#include <Core/Object.h>
#include <Core/Square.h>

namespace TabulaTest
{

/// A width x height board of unit squares, as a game builds it: square (x, y)
/// has corners (x, y)..(x + 1, y + 1). Dark squares ((x + y) even) are red,
/// the others light grey. Owns the squares and the board.
/// A sphere piece that records where it is drawn: the translation of the
/// model-view matrix current when its square (or the board) draws it, in the
/// render pass only, and how many such draws there were. `destroyed` counts
/// the probes deleted in the process.
struct SpotProbe : Core::Object
{
    SpotProbe() : Core::Object(ObjectAlignment(), "") {}
    ~SpotProbe() override { ++destroyed; }
    void draw() const override;

    mutable Vec3<double> spot;
    mutable int draws = 0;
    static int destroyed;
};

struct TestBoard
{
    explicit TestBoard(unsigned int width = 8, unsigned int height = 8);
    ~TestBoard();
    TestBoard(const TestBoard&) = delete;
    TestBoard& operator=(const TestBoard&) = delete;

    Core::Square* at(unsigned int x, unsigned int y) const { return squares[y * width + x]; }
    /// Puts a sphere piece of `color` in the middle of square (x, y).
    Core::Object* addPiece(unsigned int x, unsigned int y, const Vec4<double>& color);
    /// World position of the middle of square (x, y) on the slab's top face,
    /// before the scene turn.
    Vec3<double> squareCentre(unsigned int x, unsigned int y) const;

    unsigned int width;
    unsigned int height;
    std::vector<Core::Square*> squares;
    std::unique_ptr<Core::Board> board;
};

} // namespace TabulaTest
