// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <vector>

namespace halvane::render
{

// The dry phrase of the built-in demo, made in code so that the demo needs no files: a few
// drum hits and plucked notes, each panned to its own place, peaking at -3 dBFS.
class DemoPhrase
{
public:
    explicit DemoPhrase(double sampleRate);

    const std::vector<float>& left() const { return l; }
    const std::vector<float>& right() const { return r; }
    double seconds() const { return static_cast<double>(l.size()) / rate; }
    static const char* description();

private:
    void kick(double at, float pan);
    void snare(double at, float pan);
    void hat(double at, float pan);
    void pluck(double at, double frequency, float pan, float level);
    void place(std::size_t start, const std::vector<float>& mono, float pan);
    float noise();

    double rate;
    std::vector<float> l, r;
    unsigned seed = 0x2545F491u;
};

} // namespace halvane::render
