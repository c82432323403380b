// SPDX-License-Identifier: GPL-3.0-or-later
#include "TaperedParameter.h"

#include "ParameterText.h"

namespace Steinberg
{
namespace Vst
{
namespace Davu2VOV3
{

TaperedParameter::TaperedParameter(const TChar* title, ParamID tag, const TChar* units,
                                   ParamValue minPlain, ParamValue maxPlain, int32 stepCount,
                                   int32 flags, UnitID unitID)
{
    this->minPlain = minPlain;
    this->maxPlain = maxPlain;
    assignTexts(info, title, units);
    info.stepCount = stepCount;
    info.flags = flags;
    info.id = tag;
    info.unitId = unitID;
}

void TaperedParameter::setDefaultPlain(ParamValue defaultValuePlain)
{
    info.defaultNormalizedValue = valueNormalized = toNormalized(defaultValuePlain);
}

void TaperedParameter::toString(ParamValue valueNormalized, String128 string) const
{
    printPlain(*this, valueNormalized, string);
}

bool TaperedParameter::fromString(const TChar* string, ParamValue& valueNormalized) const
{
    return scanPlain(*this, string, valueNormalized);
}

} // namespace Davu2VOV3
} // namespace Vst
} // namespace Steinberg
