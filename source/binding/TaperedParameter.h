// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "public.sdk/source/vst/vstparameters.h"

namespace Steinberg
{
namespace Vst
{
namespace Davu2VOV3
{

// A range parameter whose plain value follows a curve of the normalised value. Its texts show
// and accept the plain value. Derived classes supply the curve.
class TaperedParameter : public RangeParameter
{
public:
    void toString(ParamValue valueNormalized, String128 string) const override;
    bool fromString(const TChar* string, ParamValue& valueNormalized) const override;

    OBJ_METHODS(TaperedParameter, RangeParameter)

protected:
    // RangeParameter's constructor would map the default through its own linear curve, so
    // the derived constructor sets the default with setDefaultPlain once its curve works.
    TaperedParameter(const TChar* title, ParamID tag, const TChar* units, ParamValue minPlain,
                     ParamValue maxPlain, int32 stepCount, int32 flags, UnitID unitID);
    void setDefaultPlain(ParamValue defaultValuePlain);
};

} // namespace Davu2VOV3
} // namespace Vst
} // namespace Steinberg
