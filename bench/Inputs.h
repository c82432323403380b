// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace bench
{

// Deterministic white noise at about -12 dBFS, so runs are repeatable and no denormals
// appear in any of the convolvers.
std::vector<float> noise(int frames, uint32_t seed);

// The response one ear hears at the default settings (position Center, every axis at
// volume 1, absorption 7, hyperbolic decay, 48 kHz): the bank's three axis responses at
// 48 kHz, each shaped by its envelope, summed. 75789 taps (1.58 s).
std::vector<double> defaultRoomResponse(int ear);

} // namespace bench
