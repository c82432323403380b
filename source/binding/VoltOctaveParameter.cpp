// SPDX-License-Identifier: GPL-3.0-or-later
#include "VoltOctaveParameter.h"

#include "FastMath.h"

namespace Steinberg
{
namespace Vst
{
namespace Davu2VOV3
{

VoltOctaveParameter::VoltOctaveParameter(const TChar* title, ParamID tag, const TChar* units,
                                         ParamValue minPlain, ParamValue maxPlain,
                                         ParamValue defaultValuePlain, int32 stepCount, int32 flags,
                                         UnitID unitID)
    : TaperedParameter(title, tag, units, minPlain, maxPlain, stepCount, flags, unitID)
{
    setDefaultPlain(defaultValuePlain);
}

bool VoltOctaveParameter::hasRatioRange() const
{
    const double min = getMin();
    const double max = getMax();
    return min > 0.0 && max > 0.0 && max != min;
}

ParamValue VoltOctaveParameter::toPlain(ParamValue valueNormalized) const
{
    const double min = getMin();
    const double max = getMax();
    const float n = static_cast<float>(valueNormalized);
    if (!hasRatioRange()) return min + (max - min) * static_cast<double>(n);

    const float octaves = fastLog2(static_cast<float>(max / min));
    const float e = static_cast<float>(static_cast<double>(octaves) * static_cast<double>(n));
    const float y = static_cast<float>(static_cast<double>(fastPow2(e)) * min);
    const float span = static_cast<float>(max - min);
    const float t = static_cast<float>((static_cast<double>(y) - min) / static_cast<double>(span));
    return min + (max - min) * static_cast<double>(t);
}

ParamValue VoltOctaveParameter::toNormalized(ParamValue plainValue) const
{
    const double min = getMin();
    const double max = getMax();
    if (!hasRatioRange()) return max != min ? (plainValue - min) / (max - min) : 0.0;

    const float x = static_cast<float>(plainValue);
    const float ratio = static_cast<float>(max / min);
    const float q = static_cast<float>(static_cast<double>(x) / min);
    const double octaves = static_cast<double>(fastLog2(ratio));
    if (octaves == 0.0) return 0.0;
    return static_cast<float>(static_cast<double>(fastLog2(q)) / octaves);
}

} // namespace Davu2VOV3
} // namespace Vst
} // namespace Steinberg
