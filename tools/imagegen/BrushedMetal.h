// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Canvas.h"

#include <cstdint>

namespace imagegen
{

// Brushed sheet metal, grain running left to right. The texture wraps at the canvas edges so
// that it tiles without seams.
struct BrushedMetal
{
    double red = 0.70;
    double green = 0.71;
    double blue = 0.73;
    double streaks = 0.032;   // strength of the long brush strokes
    double grain = 0.012;     // fine per-pixel speckle
    double sheen = 0.03;      // broad light variation across the sheet
    std::uint64_t seed = 0x6d6574616cull;

    void paint(Canvas& canvas) const;
};

} // namespace imagegen
