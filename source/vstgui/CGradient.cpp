// SPDX-License-Identifier: GPL-3.0-or-later
#include "vstgui/CGradient.h"

#include <algorithm>
#include <cmath>

namespace VSTGUI
{

CGradient::CGradient(double start1, double start2, const CColor& color1, const CColor& color2)
{
    addColorStop(start1, color1);
    addColorStop(start2, color2);
}

void CGradient::addColorStop(double start, const CColor& color)
{
    if (!std::isfinite(start))
        start = 0;
    start = std::clamp(start, 0.0, 1.0);
    auto at = std::upper_bound(stops.begin(), stops.end(), start,
                               [](double s, const ColorStop& stop) { return s < stop.start; });
    stops.insert(at, {start, color});
}

CColor CGradient::colorAt(double position) const
{
    if (stops.empty())
        return kTransparentCColor;
    if (position <= stops.front().start)
        return stops.front().color;
    for (size_t i = 1; i < stops.size(); ++i)
    {
        const ColorStop& a = stops[i - 1];
        const ColorStop& b = stops[i];
        if (position <= b.start)
        {
            const double span = b.start - a.start;
            const double t = span > 0 ? (position - a.start) / span : 1.0;
            auto mix = [t](uint8_t x, uint8_t y) {
                return static_cast<uint8_t>(std::lround(x + (y - x) * t));
            };
            return CColor(mix(a.color.red, b.color.red), mix(a.color.green, b.color.green),
                          mix(a.color.blue, b.color.blue), mix(a.color.alpha, b.color.alpha));
        }
    }
    return stops.back().color;
}

} // namespace VSTGUI
