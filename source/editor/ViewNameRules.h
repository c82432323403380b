// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

// How the custom view factory reads names and attribute texts of an editor description. Kept
// apart from the factory so the rules can be checked without building views.
namespace ViewNameRules
{
// strtol base 10: leading blanks skipped, stops at the first non-digit, 0 when there is none.
int32_t parseInteger(const std::string& text);
// Only the exact text "true" is true.
bool parseFlag(const std::string& text);
// The resource name of a bitmap attribute.
std::string bitmapResourceName(const std::string& text);

// 0 press and release, 1 release only, 2 press only; -1 when the name is no kick button.
int32_t kickButtonNotifyMode(const std::string& name);

// Frame height and rest frame carried in "AnalogMeterView_H<height>_Z<frame>"; a part that is
// missing reads as 0.
struct AnalogMeterName
{
    double frameHeight = 0;
    double zeroFrame = 0;
};
AnalogMeterName parseAnalogMeterName(const std::string& name);

// What a sub-controller name asks for.
struct PadControllerName
{
    enum Kind
    {
        kNone,
        kVectorJoystick,
        kParameterPair
    };
    Kind kind = kNone;
    int32_t xId = 0;
    int32_t yId = 0;
};
PadControllerName parseSubControllerName(const std::string& name);
} // namespace ViewNameRules
