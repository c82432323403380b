// SPDX-License-Identifier: GPL-3.0-or-later
#include "BrushedMetal.h"

#include "Grain.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace imagegen
{
namespace
{
constexpr double kPi = 3.14159265358979323846;

// Box blur along a ring of samples (the texture wraps).
void ringBlur(std::vector<double>& v, int radius)
{
    const int n = static_cast<int>(v.size());
    std::vector<double> src = v;
    double sum = 0.0;
    for (int k = -radius; k <= radius; ++k)
        sum += src[((k % n) + n) % n];
    for (int i = 0; i < n; ++i)
    {
        v[i] = sum / (2 * radius + 1);
        sum += src[(i + radius + 1) % n] - src[((i - radius) % n + n) % n];
    }
}

unsigned char toByte(double v)
{
    return static_cast<unsigned char>(std::lround(std::clamp(v, 0.0, 1.0) * 255.0));
}
} // namespace

void BrushedMetal::paint(Canvas& canvas) const
{
    const int w = canvas.width();
    const int h = canvas.height();
    Grain noise(seed);

    // Each row is one brush stroke: its own depth, plus noise smeared far along the stroke.
    // Rows stay independent of each other, which is what makes the lines look cut.
    std::vector<double> field(static_cast<std::size_t>(w) * h);
    std::vector<double> row(w);
    for (int y = 0; y < h; ++y)
    {
        const double depth = noise.signedNext() + 0.5 * noise.signedNext();
        for (double& v : row)
            v = noise.signedNext();
        ringBlur(row, 40);
        ringBlur(row, 20);
        double energy = 0.0;
        for (double v : row)
            energy += v * v;
        const double scale = energy > 0.0 ? 1.0 / std::sqrt(energy / w) : 0.0;
        for (int x = 0; x < w; ++x)
            field[static_cast<std::size_t>(y) * w + x] = 0.8 * depth + 0.6 * scale * row[x];
    }

    unsigned char* pixels = canvas.pixels();
    const int stride = canvas.stride();
    for (int y = 0; y < h; ++y)
    {
        auto* out = reinterpret_cast<std::uint32_t*>(pixels + y * stride);
        for (int x = 0; x < w; ++x)
        {
            // Whole periods across the sheet, so the sheen wraps with the texture.
            const double light = sheen * (std::sin(2.0 * kPi * (static_cast<double>(x) / w +
                                                                 static_cast<double>(y) / h)) +
                                          0.5 * std::sin(2.0 * kPi * 2.0 * y / h + 1.3));
            const double v = streaks * field[static_cast<std::size_t>(y) * w + x] +
                             grain * noise.signedNext() + light;
            out[x] = 0xff000000u | (std::uint32_t{toByte(red + v)} << 16) |
                     (std::uint32_t{toByte(green + v)} << 8) | toByte(blue + v);
        }
    }
    canvas.markDirty();
}

} // namespace imagegen
