// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "TaperedParameter.h"

namespace Steinberg
{
namespace Vst
{
namespace Davu2VOV3
{

// Continuous control shown on a fixed 2.4-decade logarithmic taper between min and max.
class LogParameter : public TaperedParameter
{
public:
    LogParameter(const TChar* title, ParamID tag, const TChar* units, ParamValue minPlain,
                 ParamValue maxPlain, ParamValue defaultValuePlain, int32 stepCount, int32 flags,
                 UnitID unitID);

    ParamValue toPlain(ParamValue valueNormalized) const override;
    ParamValue toNormalized(ParamValue plainValue) const override;

    OBJ_METHODS(LogParameter, TaperedParameter)
};

} // namespace Davu2VOV3
} // namespace Vst
} // namespace Steinberg
