#pragma once

#include <functional>
#include <string>
#include <vector>

#include <Math/Quat.h>
#include <Math/Vec3.h>

#include "support/Bounds.h"

namespace TabulaTest
{

/// A vertex as OpenGL's feedback mode reports it, mapped back to the
/// coordinates the drawing code passed (identity matrices, viewport 0..1000
/// over -1..1 on x and y), with its colour after lighting (RGBA in 0..1).
struct FedVertex
{
    double x;
    double y;
    double z;
    float color[4];
};

/// Points, lines and polygons that `draw` emits, captured in GL_FEEDBACK mode.
/// The current GL context's matrices and viewport are restored afterwards.
struct FeedbackCapture
{
    std::vector<std::vector<FedVertex>> polygons;
    std::vector<std::vector<FedVertex>> lines;
    std::vector<FedVertex> points;
};
FeedbackCapture captureFeedback(const std::function<void()>& draw, double scale = 1.0);

/// Expects the polygons and lines of `turned` to be those of `plain`,
/// vertex for vertex, turned by `turn` about `plainOrigin` and carried to
/// `turnedOrigin` (in the captures' coordinates).
void expectTurned(const FeedbackCapture& plain, const FeedbackCapture& turned, const Quat<double>& turn,
                  const Vec3<double>& plainOrigin, const Vec3<double>& turnedOrigin, const std::string& when);

/// The box around every vertex of captured polygons or lines.
Bounds boxOf(const std::vector<std::vector<FedVertex>>& shapes);

} // namespace TabulaTest
