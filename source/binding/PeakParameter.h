// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "public.sdk/source/vst/vstparameters.h"

namespace Steinberg
{
namespace Vst
{
namespace Davu2VOV3
{

// Read-only meter value shown in decibels. Plain and normalised values are the same.
class PeakParameter : public Parameter
{
public:
    PeakParameter(int32 flags, ParamID id, const TChar* title);

    void toString(ParamValue valueNormalized, String128 string) const override;
    // Meters are not typed into.
    bool fromString(const TChar* string, ParamValue& valueNormalized) const override;

    OBJ_METHODS(PeakParameter, Parameter)
};

} // namespace Davu2VOV3
} // namespace Vst
} // namespace Steinberg
