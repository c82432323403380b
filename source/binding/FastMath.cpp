// SPDX-License-Identifier: GPL-3.0-or-later
#include "FastMath.h"

#include <cstdint>
#include <cstring>
#include <limits>

namespace Steinberg
{
namespace Vst
{
namespace Davu2VOV3
{

float fastLog2(float x)
{
    uint32_t bits;
    std::memcpy(&bits, &x, sizeof bits);
    const uint32_t mantissaBits = (bits & 0x7FFFFFu) | 0x3F000000u;
    float m;
    std::memcpy(&m, &mantissaBits, sizeof m);
    const float y = static_cast<float>(bits) * 1.1920929e-7f;
    return y - 124.22552f - 1.4980303f * m - 1.72588f / (m + 0.35208872f);
}

float fastPow2(float p)
{
    // Beyond 2^128 the bit trick would run past the exponent field (and the int conversion
    // would overflow), so saturate; NaN passes through.
    if (p != p) return p;
    if (p >= 128.0f) return std::numeric_limits<float>::infinity();

    const float offset = p < 0.0f ? 1.0f : 0.0f;
    const float c = p < -126.0f ? -126.0f : p;
    const int32_t w = static_cast<int32_t>(c);
    const float z = c - static_cast<float>(w) + offset;
    const float v = 8388608.0f * (c + 121.274055f + 27.728024f / (4.8425255f - z) - 1.4901291f * z);
    const uint32_t bits = static_cast<uint32_t>(static_cast<int32_t>(v));
    float result;
    std::memcpy(&result, &bits, sizeof result);
    return result;
}

} // namespace Davu2VOV3
} // namespace Vst
} // namespace Steinberg
