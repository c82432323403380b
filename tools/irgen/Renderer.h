// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Hall.h"
#include "HrtfSet.h"

#include <vector>

// Turns a position's arrivals into its six responses (axis-major, then ear), each reflection
// split over the three room axes by its squared direction cosines; the direct sound goes to
// all three alike.
class Renderer
{
public:
    Renderer(const HrtfSet& hrtf, int length, double earlyLimit)
        : m_hrtf(hrtf), m_length(length), m_earlyLimit(earlyLimit)
    {
    }

    // The early arrivals of one source with their interpolated, shifted responses.
    struct Early
    {
        std::vector<Arrival> arrivals;
        std::vector<float> responses; // per arrival: left then right, shiftedLength() each
    };

    // Serial part: libmysofa's interpolation is not re-entrant.
    Early prepare(const Hall& hall, const double source[3]) const;
    // Parallel-safe part: out receives 6 arrays of the response length.
    void render(const Early& early, const Hall& hall, const double source[3],
                std::vector<std::vector<double>>& out) const;

private:
    void add(const Arrival& a, const float* left, const float* right, int taps,
             std::vector<std::vector<double>>& out) const;

    const HrtfSet& m_hrtf;
    int m_length;
    double m_earlyLimit;
};
