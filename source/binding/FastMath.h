// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace Steinberg
{
namespace Vst
{
namespace Davu2VOV3
{

// Single-precision approximations of log2 and 2^p for the exponential (volt/octave) taper.
// Their exact arithmetic is part of the parameter mapping, so keep every step in float.
float fastLog2(float x);
float fastPow2(float p);

} // namespace Davu2VOV3
} // namespace Vst
} // namespace Steinberg
