// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "public.sdk/source/vst/vstparameters.h"

namespace Steinberg
{
namespace Vst
{
namespace Davu2VOV3
{

// Locale-independent number texts for the binding's own parameter classes.

// Writes value with a fixed number of decimals (a negative precision means 6, as printf does).
// The text is empty when it would not fit.
void printFixed(double value, int32 precision, String128 string);

// Reads one leading decimal number as scanf's "%lf" would (leading blanks, optional sign, an
// exponent). False for no number and for results that are not finite.
bool scanNumber(const TChar* string, double& value);

// The text of the tapered range parameters: the plain value at the parameter's precision,
// without units, also for stepped parameters.
void printPlain(const Parameter& parameter, ParamValue valueNormalized, String128 string);

// Reads a plain value and converts it with the parameter's own taper; no clamping here, that
// happens when the value is applied. False when the taper gives no number (NaN).
bool scanPlain(const Parameter& parameter, const TChar* string, ParamValue& valueNormalized);

// Copies title and units into a parameter's info, as the SDK's constructors do.
void assignTexts(ParameterInfo& info, const TChar* title, const TChar* units);

} // namespace Davu2VOV3
} // namespace Vst
} // namespace Steinberg
