#pragma once

#include "public.sdk/source/vst/vstparameters.h"

namespace Steinberg
{
namespace Vst
{
namespace Davu2VOV3
{

// Continuous control shown on a fixed 2.4-decade logarithmic taper between min and max.
class LogParameter : public RangeParameter
{
public:
    LogParameter(const TChar* title, ParamID tag, const TChar* units, ParamValue minPlain,
                 ParamValue maxPlain, ParamValue defaultValuePlain, int32 stepCount, int32 flags,
                 UnitID unitID);

    void toString(ParamValue valueNormalized, String128 string) const override;
    bool fromString(const TChar* string, ParamValue& valueNormalized) const override;
    ParamValue toPlain(ParamValue valueNormalized) const override;
    ParamValue toNormalized(ParamValue plainValue) const override;

    OBJ_METHODS(LogParameter, RangeParameter)
};

} // namespace Davu2VOV3
} // namespace Vst
} // namespace Steinberg
