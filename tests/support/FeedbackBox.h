#pragma once

#include <algorithm>
#include <array>
#include <vector>

#include <gtest/gtest.h>

#include "support/Feedback.h"

namespace TabulaTest
{

/// The box around every vertex of captured polygons or lines.
struct FeedbackBox
{
    std::array<double, 3> lo{1e9, 1e9, 1e9};
    std::array<double, 3> hi{-1e9, -1e9, -1e9};
};

inline FeedbackBox boxOf(const std::vector<std::vector<FedVertex>>& shapes)
{
    FeedbackBox box;
    for (const auto& shape : shapes)
        for (const FedVertex& v : shape)
        {
            const double p[3] = {v.x, v.y, v.z};
            for (int i = 0; i < 3; ++i)
                box.lo[i] = std::min(box.lo[i], p[i]), box.hi[i] = std::max(box.hi[i], p[i]);
        }
    return box;
}

/// Expects `box` to span `lo` to `hi` within `tolerance` on every axis.
inline void expectBox(const FeedbackBox& box, const std::array<double, 3>& lo, const std::array<double, 3>& hi,
                      double tolerance = 1e-3)
{
    for (int i = 0; i < 3; ++i)
    {
        EXPECT_NEAR(box.lo[i], lo[i], tolerance) << "axis " << i;
        EXPECT_NEAR(box.hi[i], hi[i], tolerance) << "axis " << i;
    }
}

} // namespace TabulaTest
