// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace imagegen
{

// Deterministic noise so that every build draws identical images, whatever the standard
// library's distributions do.
class Grain
{
public:
    explicit Grain(std::uint64_t seed) : state_(seed ? seed : 1) {}

    // Uniform in [0, 1).
    double next();
    // Uniform in [-1, 1).
    double signedNext() { return 2.0 * next() - 1.0; }

private:
    std::uint64_t state_;
};

} // namespace imagegen
