#pragma once

#include <algorithm>
#include <array>
#include <limits>
#include <string>

#include <gtest/gtest.h>

namespace TabulaTest
{

/// The axis-aligned box around every point added; inverted (lo above hi)
/// while empty.
struct Bounds
{
    std::array<double, 3> lo{std::numeric_limits<double>::max(), std::numeric_limits<double>::max(),
                             std::numeric_limits<double>::max()};
    std::array<double, 3> hi{-lo[0], -lo[1], -lo[2]};

    void add(double x, double y, double z)
    {
        const double p[3] = {x, y, z};
        for (int i = 0; i < 3; ++i)
            lo[i] = std::min(lo[i], p[i]), hi[i] = std::max(hi[i], p[i]);
    }
};

/// Expects `box` to span `lo` to `hi` within `tolerance` on every axis.
inline void expectBox(const Bounds& box, const std::array<double, 3>& lo, const std::array<double, 3>& hi,
                      double tolerance = 1e-3, const std::string& what = "")
{
    for (int i = 0; i < 3; ++i)
    {
        EXPECT_NEAR(box.lo[i], lo[i], tolerance) << what << "axis " << i;
        EXPECT_NEAR(box.hi[i], hi[i], tolerance) << what << "axis " << i;
    }
}

} // namespace TabulaTest
