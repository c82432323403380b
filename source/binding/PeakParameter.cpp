// SPDX-License-Identifier: GPL-3.0-or-later
#include "PeakParameter.h"

#include "ParameterText.h"

#include "pluginterfaces/base/ustring.h"

#include <cmath>

namespace Steinberg
{
namespace Vst
{
namespace Davu2VOV3
{

PeakParameter::PeakParameter(int32 flags, ParamID id, const TChar* title)
{
    if (title) UString(info.title, str16BufferSize(String128)).assign(title);
    info.id = id;
    info.flags = flags;
    info.stepCount = 0;
    info.defaultNormalizedValue = 0.5;
    info.unitId = 0; // the root unit
    setNormalized(1.0);
}

void PeakParameter::toString(ParamValue valueNormalized, String128 string) const
{
    if (valueNormalized > 0.0001)
    {
        const float decibels = 20.0f * std::log10(static_cast<float>(valueNormalized));
        printFixed(static_cast<double>(decibels), 3, string);
        return;
    }
    string[0] = u'-';
    string[1] = 0x221E; // infinity sign
    string[2] = 0;
}

bool PeakParameter::fromString(const TChar*, ParamValue&) const
{
    return false;
}

} // namespace Davu2VOV3
} // namespace Vst
} // namespace Steinberg
