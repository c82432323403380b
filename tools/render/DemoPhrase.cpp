// SPDX-License-Identifier: GPL-3.0-or-later
#include "DemoPhrase.h"

#include <algorithm>
#include <cmath>

namespace halvane::render
{

namespace
{
constexpr double kPi = 3.14159265358979323846;
constexpr double kLength = 3.5;
} // namespace

DemoPhrase::DemoPhrase(double sampleRate) : rate(sampleRate)
{
    const auto n = static_cast<size_t>(kLength * rate);
    l.assign(n, 0.f);
    r.assign(n, 0.f);

    // pan: -1 hard left, +1 hard right
    kick(0.00, 0.0f);
    hat(0.25, -0.7f);
    snare(0.50, 0.5f);
    hat(0.75, -0.7f);
    kick(1.00, 0.0f);
    kick(1.25, 0.0f);
    snare(1.50, 0.5f);
    pluck(2.00, 220.00, -0.8f, 0.8f);
    pluck(2.25, 329.63, 0.0f, 0.7f);
    pluck(2.50, 440.00, 0.8f, 0.6f);

    float peak = 0.f;
    for (size_t i = 0; i < n; ++i)
        peak = std::max({peak, std::fabs(l[i]), std::fabs(r[i])});
    const float gain = peak > 0.f ? 0.7079f / peak : 1.f; // -3 dBFS
    for (size_t i = 0; i < n; ++i)
    {
        l[i] *= gain;
        r[i] *= gain;
    }
}

const char* DemoPhrase::description()
{
    return "kick and snare hits, a hi-hat on the left and three plucked notes moving from left "
           "to right";
}

float DemoPhrase::noise()
{
    // xorshift: the same phrase on every machine
    seed ^= seed << 13;
    seed ^= seed >> 17;
    seed ^= seed << 5;
    return static_cast<float>(seed) / 2147483648.f - 1.f;
}

void DemoPhrase::place(size_t start, const std::vector<float>& mono, float pan)
{
    const double angle = (pan + 1.0) * kPi / 4.0;
    const auto gl = static_cast<float>(std::cos(angle));
    const auto gr = static_cast<float>(std::sin(angle));
    for (size_t i = 0; i < mono.size() && start + i < l.size(); ++i)
    {
        l[start + i] += gl * mono[i];
        r[start + i] += gr * mono[i];
    }
}

void DemoPhrase::kick(double at, float pan)
{
    std::vector<float> s(static_cast<size_t>(0.4 * rate));
    double phase = 0.0;
    for (size_t i = 0; i < s.size(); ++i)
    {
        const double t = static_cast<double>(i) / rate;
        const double f = 45.0 + 90.0 * std::exp(-t * 30.0);
        phase += 2.0 * kPi * f / rate;
        s[i] = static_cast<float>(std::sin(phase) * std::exp(-t * 9.0));
    }
    place(static_cast<size_t>(at * rate), s, pan);
}

void DemoPhrase::snare(double at, float pan)
{
    std::vector<float> s(static_cast<size_t>(0.25 * rate));
    for (size_t i = 0; i < s.size(); ++i)
    {
        const double t = static_cast<double>(i) / rate;
        const double body = std::sin(2.0 * kPi * 185.0 * t) * std::exp(-t * 25.0);
        s[i] = static_cast<float>(0.5 * body + 0.6 * noise() * std::exp(-t * 18.0));
    }
    place(static_cast<size_t>(at * rate), s, pan);
}

void DemoPhrase::hat(double at, float pan)
{
    std::vector<float> s(static_cast<size_t>(0.06 * rate));
    float previous = 0.f;
    for (size_t i = 0; i < s.size(); ++i)
    {
        const double t = static_cast<double>(i) / rate;
        const float white = noise();
        // first difference: tilts the noise towards the top octaves
        s[i] = static_cast<float>(0.4 * (white - previous) * std::exp(-t * 70.0));
        previous = white;
    }
    place(static_cast<size_t>(at * rate), s, pan);
}

void DemoPhrase::pluck(double at, double frequency, float pan, float level)
{
    // Karplus-Strong: a noise burst circulating in a damped delay line
    const auto period = std::max<size_t>(2, static_cast<size_t>(rate / frequency));
    std::vector<float> line(period);
    for (float& x : line)
        x = noise();
    std::vector<float> s(static_cast<size_t>(1.0 * rate));
    size_t pos = 0;
    for (size_t i = 0; i < s.size(); ++i)
    {
        const size_t next = (pos + 1) % period;
        const float out = line[pos];
        line[pos] = 0.996f * 0.5f * (line[pos] + line[next]);
        pos = next;
        s[i] = level * out;
    }
    place(static_cast<size_t>(at * rate), s, pan);
}

} // namespace halvane::render
