// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cmath>
#include <cstdint>

// Float-to-integer conversions that stay defined for any input: the host and saved states are
// not trusted to keep a value inside a control's range. NaN gives 0; the rest truncates toward
// zero and saturates.
inline int32_t saturatingInt32(float value)
{
    if (std::isnan(value)) return 0;
    if (value >= 2147483648.0f) return INT32_MAX;
    if (value < -2147483648.0f) return INT32_MIN;
    return static_cast<int32_t>(value);
}

inline uint32_t saturatingUint32(float value)
{
    if (!(value > 0.0f)) return 0;
    if (value >= 4294967296.0f) return UINT32_MAX;
    return static_cast<uint32_t>(value);
}
