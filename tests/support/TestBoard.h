#pragma once

#include <gtest/gtest.h>

#include <Core/Board.h>
#include <Core/Grid.h>
#include <Core/Object.h>
#include <Core/Square.h>
#include <Rendering/Render.h>

namespace TabulaTest
{

/// A sphere piece that records where it is drawn: the translation of the
/// model-view matrix current when its square (or the board) draws it, in the
/// render pass only, and how many such draws there were. `destroyed` counts
/// the probes deleted in the process.
struct SpotProbe : Core::Object
{
    explicit SpotProbe(ObjectAlignment alignment = ObjectAlignment()) : Core::Object(alignment, "") {}
    ~SpotProbe() override { ++destroyed; }
    void draw() const override;

    mutable Vec3<double> spot;
    mutable int draws = 0;
    static int destroyed;
};

/// A piece showing the model file at `path` (made with new, for a square to
/// own), its display lists compiled though made after the engine's set-up,
/// the load's lines kept out of the test's output.
Core::Object* modelPiece(const std::string& path);

/// The corners of the cell from grid point (x0, y0) to (x1, y1), in the
/// order the library lists them: (x0, y0), (x1, y0), (x1, y1), (x0, y1).
Core::Square::Coords cellCoords(unsigned int x0, unsigned int y0, unsigned int x1, unsigned int y1);

/// The library's grid of unit squares with the tests' chequerboard: dark
/// squares ((x + y) even) are red, the others light grey.
struct TestBoard : Core::Grid
{
    explicit TestBoard(unsigned int width = 8, unsigned int height = 8);

    Core::Square* at(unsigned int x, unsigned int y) const { return getSquare(x, y); }
    /// Puts a sphere piece of `color` in the middle of square (x, y).
    Core::Object* addPiece(unsigned int x, unsigned int y, const Vec4<double>& color);
    /// World position of the middle of square (x, y) on the slab's top face,
    /// before the scene turn.
    Vec3<double> squareCentre(unsigned int x, unsigned int y) const;

    const unsigned int width;
    const unsigned int height;
    const std::vector<Core::Square*>& squares;
    Core::Board* const board;
};

/// A GL test of the engine drawing a TestBoard, `scene`: the engine set up,
/// its camera in the start-up pose, no scene turn. What the test hands the
/// engine (the board, a Look, HUDs, frame and picking records) is taken back
/// after it.
struct BoardSceneGLTest : ::testing::Test
{
    void SetUp() override;
    void TearDown() override;

    Rendering::Render* const render = Rendering::Render::instance();
    TestBoard scene;
};

} // namespace TabulaTest
