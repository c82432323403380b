// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

// One sound path from source to listener: when it arrives, how loud, and from where.
struct Arrival
{
    double delay = 0.0; // samples
    double gain = 0.0;  // wall factors over distance
    double dir[3] = {}; // unit vector towards the (image) source, x forward, y left, z up
    int order = 0;      // number of wall reflections
};

// A shoebox hall described by its image sources. Walls are indexed back, front, right, left,
// floor, ceiling (x = 0, x = Lx, y = 0, y = Ly, z = 0, z = Lz).
struct HallShape
{
    double size[3] = {};
    double listener[3] = {};
    double reflection[6] = {};
    // Paths with more reflections than this lose energy at the hall's mean rate per metre
    // instead of wall by wall: real walls scatter, so late sound decays alike in every direction.
    int specularOrders = 1000;
    double jitter = 0.0;     // metres an image may wander at full scale
    int jitterFullOrder = 1; // order from which the full jitter applies
    uint64_t seed = 0;
    double speedOfSound = 343.0; // m/s
    double sampleRate = 44100.0;
};

class Hall
{
public:
    explicit Hall(const HallShape& shape) : m_shape(shape) {}

    // Every image arriving in [minDelay, maxDelay) samples, direct path included, handed over
    // one by one: a long response has tens of millions of them.
    void visit(const double source[3], double minDelay, double maxDelay,
               const std::function<void(const Arrival&)>& onArrival) const;
    std::vector<Arrival> arrivals(const double source[3], double maxDelay) const;

private:
    void jitterOffset(const int index[6], int order, double offset[3]) const;
    // Mean log wall factor per metre travelled, over a diffuse field's mean free path.
    double scatteredLossPerMetre() const;

    HallShape m_shape;
};
