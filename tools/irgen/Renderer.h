#pragma once

#include "Hall.h"
#include "HrtfSet.h"

#include <vector>

// Turns a position's arrivals into its six responses (axis-major, then ear), each split over
// the three room axes by the squared direction cosines of every arrival.
class Renderer
{
public:
    Renderer(const HrtfSet& hrtf, int length, double earlyLimit)
        : m_hrtf(hrtf), m_length(length), m_earlyLimit(earlyLimit)
    {
    }

    struct Prepared
    {
        std::vector<Arrival> arrivals;
        std::vector<float> early;   // interpolated shifted responses of early arrivals, L then R
        std::vector<int> earlySlot; // per arrival: index into early, or -1
    };

    // Serial part: libmysofa's interpolation is not re-entrant.
    Prepared prepare(std::vector<Arrival> arrivals) const;
    // Parallel-safe part: out receives 6 arrays of the response length.
    void render(const Prepared& prepared, std::vector<std::vector<double>>& out) const;

private:
    const HrtfSet& m_hrtf;
    int m_length;
    double m_earlyLimit;
};
