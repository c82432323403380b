// SPDX-License-Identifier: GPL-3.0-or-later
#include "SubsonicFilter.h"

#include <cmath>

namespace
{
constexpr double kPi = 3.14159265358979323846;
}

SubsonicFilter::SubsonicFilter(double cutoffHz, double sampleRate)
{
    // Two bilinear-transformed sections with the Butterworth pole pair Qs.
    const double qs[2] = {0.54119610, 1.30656296};
    const double w = 2.0 * kPi * cutoffHz / sampleRate;
    for (int k = 0; k < 2; ++k)
    {
        const double alpha = std::sin(w) / (2.0 * qs[k]);
        const double a0 = 1.0 + alpha;
        Section& s = m_sections[k];
        s.b0 = (1.0 + std::cos(w)) / 2.0 / a0;
        s.b1 = -(1.0 + std::cos(w)) / a0;
        s.b2 = s.b0;
        s.a1 = -2.0 * std::cos(w) / a0;
        s.a2 = (1.0 - alpha) / a0;
    }
}

void SubsonicFilter::apply(double* x, int length) const
{
    for (const Section& s : m_sections)
    {
        double z1 = 0.0, z2 = 0.0;
        for (int t = 0; t < length; ++t)
        {
            const double in = x[t];
            const double y = s.b0 * in + z1;
            z1 = s.b1 * in - s.a1 * y + z2;
            z2 = s.b2 * in - s.a2 * y;
            x[t] = y;
        }
    }
    double sum = 0.0, weights = 0.0;
    for (int t = 0; t < length; ++t)
    {
        sum += x[t];
        weights += 0.5 - 0.5 * std::cos(2.0 * kPi * (t + 0.5) / length);
    }
    const double scale = sum / weights;
    for (int t = 0; t < length; ++t)
        x[t] -= scale * (0.5 - 0.5 * std::cos(2.0 * kPi * (t + 0.5) / length));
}
