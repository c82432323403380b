// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "vstgui/CBaseObject.h"
#include "vstgui/CColor.h"

#include <vector>

namespace VSTGUI
{

class CGradient : public CBaseObject
{
public:
    struct ColorStop
    {
        double start; // 0 to 1
        CColor color;
    };

    CGradient() = default;
    CGradient(double start1, double start2, const CColor& color1, const CColor& color2);

    // Keeps the stops sorted by position; a position outside 0 to 1 is clamped.
    void addColorStop(double start, const CColor& color);
    const std::vector<ColorStop>& getColorStops() const { return stops; }

    // The color at a position, interpolated between the neighbouring stops.
    CColor colorAt(double position) const;

private:
    std::vector<ColorStop> stops;
};

} // namespace VSTGUI
