// SPDX-License-Identifier: GPL-3.0-or-later
#include "Hall.h"

#include <cmath>

namespace
{
uint64_t mix(uint64_t x)
{
    // splitmix64 finaliser: cheap, well spread and the same on every platform.
    x += 0x9e3779b97f4a7c15ull;
    x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ull;
    x = (x ^ (x >> 27)) * 0x94d049bb133111ebull;
    return x ^ (x >> 31);
}

double unitSigned(uint64_t h)
{
    return static_cast<double>(h >> 11) * (2.0 / 9007199254740992.0) - 1.0;
}
} // namespace

void Hall::jitterOffset(const int index[6], int order, double offset[3]) const
{
    uint64_t h = m_shape.seed;
    for (int i = 0; i < 6; ++i)
        h = mix(h ^ static_cast<uint64_t>(static_cast<int64_t>(index[i])));
    const double scale =
        m_shape.jitter * std::fmin(1.0, static_cast<double>(order) / m_shape.jitterFullOrder);
    for (int k = 0; k < 3; ++k)
    {
        h = mix(h + static_cast<uint64_t>(k));
        offset[k] = scale * unitSigned(h);
    }
}

double Hall::scatteredLossPerMetre() const
{
    const double* l = m_shape.size;
    const double area[3] = {l[1] * l[2], l[0] * l[2], l[0] * l[1]}; // per wall of each axis
    double surface = 0.0, logSum = 0.0;
    for (int d = 0; d < 3; ++d)
        for (int w = 0; w < 2; ++w)
        {
            surface += area[d];
            logSum += area[d] * std::log(m_shape.reflection[2 * d + w]);
        }
    const double meanFreePath = 4.0 * l[0] * l[1] * l[2] / surface;
    return logSum / surface / meanFreePath;
}

std::vector<Arrival> Hall::arrivals(const double source[3], double maxDelay) const
{
    std::vector<Arrival> out;
    visit(source, 0.0, maxDelay, [&out](const Arrival& a) { out.push_back(a); });
    return out;
}

void Hall::visit(const double source[3], double minDelay, double maxDelay,
                 const std::function<void(const Arrival&)>& onArrival) const
{
    const double metresPerSample = m_shape.speedOfSound / m_shape.sampleRate;
    const double reach = maxDelay * metresPerSample + m_shape.jitter * std::sqrt(3.0);

    // Per axis: image coordinate (1 - 2q) s + 2 n L, hitting the near wall |n - q| times and the
    // far wall |n| times.
    struct Image1d
    {
        double pos;
        int n, q;
        double gain;
        int hits;
    };
    std::vector<Image1d> axis[3];
    for (int d = 0; d < 3; ++d)
    {
        const double len = m_shape.size[d];
        const double lis = m_shape.listener[d];
        const int lo = static_cast<int>(std::floor((lis - reach - len) / (2.0 * len))) - 1;
        const int hi = static_cast<int>(std::ceil((lis + reach + len) / (2.0 * len))) + 1;
        for (int n = lo; n <= hi; ++n)
            for (int q = 0; q < 2; ++q)
            {
                const double pos = (1 - 2 * q) * source[d] + 2.0 * n * len;
                if (std::fabs(pos - lis) > reach) continue;
                const int nearHits = std::abs(n - q);
                const int farHits = std::abs(n);
                const double g = std::pow(m_shape.reflection[2 * d], nearHits) *
                                 std::pow(m_shape.reflection[2 * d + 1], farHits);
                axis[d].push_back({pos, n, q, g, nearHits + farHits});
            }
    }

    const double scattered = scatteredLossPerMetre();
    const double reach2 = reach * reach;
    for (const Image1d& ix : axis[0])
    {
        const double dx = ix.pos - m_shape.listener[0];
        for (const Image1d& iy : axis[1])
        {
            const double dy = iy.pos - m_shape.listener[1];
            if (dx * dx + dy * dy > reach2) continue;
            for (const Image1d& iz : axis[2])
            {
                const double dz = iz.pos - m_shape.listener[2];
                if (dx * dx + dy * dy + dz * dz > reach2) continue;
                const int order = ix.hits + iy.hits + iz.hits;
                double v[3] = {dx, dy, dz};
                if (order > 0)
                {
                    const int index[6] = {ix.n, ix.q, iy.n, iy.q, iz.n, iz.q};
                    double off[3];
                    jitterOffset(index, order, off);
                    for (int k = 0; k < 3; ++k)
                        v[k] += off[k];
                }
                const double dist = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
                const double delay = dist / metresPerSample;
                if (delay < minDelay || delay >= maxDelay) continue;
                Arrival a;
                a.delay = delay;
                const double walls = order > m_shape.specularOrders ? std::exp(scattered * dist)
                                                                    : ix.gain * iy.gain * iz.gain;
                a.gain = walls / dist;
                for (int k = 0; k < 3; ++k)
                    a.dir[k] = v[k] / dist;
                a.order = order;
                onArrival(a);
            }
        }
    }
}
