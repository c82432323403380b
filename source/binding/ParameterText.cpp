// SPDX-License-Identifier: GPL-3.0-or-later
#include "ParameterText.h"

#include "pluginterfaces/base/ustring.h"

#include <charconv>
#include <cmath>

namespace Steinberg
{
namespace Vst
{
namespace Davu2VOV3
{

namespace
{
constexpr int32 kStringUnits = 128;
constexpr int32 kScanChars = 256;

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}
} // namespace

void printFixed(double value, int32 precision, String128 string)
{
    if (precision < 0) precision = 6;
    char text[kStringUnits];
    const auto result = std::to_chars(text, text + kStringUnits - 1, value,
                                      std::chars_format::fixed, static_cast<int>(precision));
    if (result.ec != std::errc())
    {
        string[0] = 0;
        return;
    }
    const auto length = result.ptr - text;
    for (decltype(text - text) i = 0; i < length; ++i)
        string[i] = static_cast<TChar>(static_cast<unsigned char>(text[i]));
    string[length] = 0;
}

bool scanNumber(const TChar* string, double& value)
{
    if (!string) return false;

    // Numbers are plain ASCII; the first other character ends the text.
    char text[kScanChars];
    int32 length = 0;
    while (length < kScanChars - 1 && string[length] != 0 && string[length] < 0x80)
    {
        text[length] = static_cast<char>(string[length]);
        ++length;
    }
    text[length] = 0;

    const char* first = text;
    const char* last = text + length;
    while (first < last && isBlank(*first))
        ++first;
    // from_chars takes a minus sign but no plus sign.
    if (first < last && *first == '+')
    {
        ++first;
        if (first < last && *first == '-') return false;
    }

    double number = 0.0;
    const auto result = std::from_chars(first, last, number, std::chars_format::general);
    if (result.ec != std::errc() || !std::isfinite(number)) return false;
    value = number;
    return true;
}

void printPlain(const Parameter& parameter, ParamValue valueNormalized, String128 string)
{
    printFixed(parameter.toPlain(valueNormalized), parameter.getPrecision(), string);
}

bool scanPlain(const Parameter& parameter, const TChar* string, ParamValue& valueNormalized)
{
    double plain = 0.0;
    if (!scanNumber(string, plain)) return false;
    const ParamValue normalized = parameter.toNormalized(plain);
    // An infinite result is fine (applying it clamps to 1), a NaN is not.
    if (std::isnan(normalized)) return false;
    valueNormalized = normalized;
    return true;
}

void assignTexts(ParameterInfo& info, const TChar* title, const TChar* units)
{
    if (title) UString(info.title, str16BufferSize(String128)).assign(title);
    if (units) UString(info.units, str16BufferSize(String128)).assign(units);
}

} // namespace Davu2VOV3
} // namespace Vst
} // namespace Steinberg
