// SPDX-License-Identifier: GPL-3.0-or-later
#include "ValueGlide.h"

#include <cmath>

void CValueGlide::reset(float value)
{
    current = from = to = value;
    step = length;
}

float CValueGlide::advance(float target)
{
    // A target that is not a number would poison the glide for good; hold the value instead.
    if (std::isnan(target)) return current;
    if (target != to)
    {
        from = current;
        to = target;
        step = 0;
    }
    ++step;
    if (step >= length)
    {
        current = to;
        return current;
    }
    // Smoothstep: the slope starts and ends at zero, which keeps the glide's spectrum narrow.
    const double x = static_cast<double>(step) / length;
    const double shape = x * x * (3.0 - 2.0 * x);
    current = static_cast<float>(from + (static_cast<double>(to) - from) * shape);
    return current;
}
