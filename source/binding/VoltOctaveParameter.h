// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "TaperedParameter.h"

namespace Steinberg
{
namespace Vst
{
namespace Davu2VOV3
{

// Continuous control whose plain value grows exponentially with the normalised value, so equal
// steps give equal ratios (frequencies). Needs a positive range; any other range is linear.
class VoltOctaveParameter : public TaperedParameter
{
public:
    VoltOctaveParameter(const TChar* title, ParamID tag, const TChar* units, ParamValue minPlain,
                        ParamValue maxPlain, ParamValue defaultValuePlain, int32 stepCount,
                        int32 flags, UnitID unitID);

    ParamValue toPlain(ParamValue valueNormalized) const override;
    ParamValue toNormalized(ParamValue plainValue) const override;

    OBJ_METHODS(VoltOctaveParameter, TaperedParameter)

private:
    bool hasRatioRange() const;
};

} // namespace Davu2VOV3
} // namespace Vst
} // namespace Steinberg
