// SPDX-License-Identifier: GPL-3.0-or-later
#include "DecayEnvelope.h"

#include <cmath>

void CDecayEnvelope::set(Curve curve, double a, double fs)
{
    // Out-of-range settings (a corrupt state, a rate of 0) must not turn the output into
    // NaN or infinity: a missing rate silences the axis, negative absorption counts as 0.
    if (!(fs > 0.0) || !std::isfinite(fs) || !std::isfinite(a)) curve = kUnset;
    if (!(a > 0.0) || !std::isfinite(a)) a = 0.0;
    kind = curve;
    absorption = a;
    sampleRate = fs;
    slope = a * 7.5 + 0.07;
    ratio = std::exp(-a / fs);
    lastTap = -2;
}
