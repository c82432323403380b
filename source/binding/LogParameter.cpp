// SPDX-License-Identifier: GPL-3.0-or-later
#include "LogParameter.h"

#include <cmath>

namespace Steinberg
{
namespace Vst
{
namespace Davu2VOV3
{

namespace
{
// 2.4 decades: the curve runs from 10^-2.4 at min to 1 at max.
constexpr double kDecadeScale = 0.4166666666666667;
} // namespace

LogParameter::LogParameter(const TChar* title, ParamID tag, const TChar* units, ParamValue minPlain,
                           ParamValue maxPlain, ParamValue defaultValuePlain, int32 stepCount,
                           int32 flags, UnitID unitID)
    : TaperedParameter(title, tag, units, minPlain, maxPlain, stepCount, flags, unitID)
{
    setDefaultPlain(defaultValuePlain);
}

ParamValue LogParameter::toPlain(ParamValue valueNormalized) const
{
    const double min = getMin();
    const double max = getMax();
    const float v = static_cast<float>(valueNormalized);
    float a = 0.0f;
    if (v > 0.0f) a = static_cast<float>(static_cast<double>(std::log10(v)) * kDecadeScale + 1.0);
    return min + (max - min) * static_cast<double>(a);
}

ParamValue LogParameter::toNormalized(ParamValue plainValue) const
{
    const double min = getMin();
    const double max = getMax();
    // An empty range would divide zero by zero; treat every value as the minimum.
    const double t = max != min ? (plainValue - min) / (max - min) : 0.0;
    const float u = static_cast<float>(t) - 1.0f;
    return static_cast<float>(std::pow(10.0, static_cast<double>(u) / kDecadeScale));
}

} // namespace Davu2VOV3
} // namespace Vst
} // namespace Steinberg
