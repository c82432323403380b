// SPDX-License-Identifier: GPL-3.0-or-later
#include "ViewNameRules.h"

#include <cstdint>
#include <cstdlib>

namespace ViewNameRules
{
namespace
{
// The text after a position, or empty when the position is past the end.
std::string tail(const std::string& text, size_t from)
{
    return from < text.size() ? text.substr(from) : std::string();
}

bool findPair(const std::string& name, PadControllerName& result)
{
    const size_t c = name.find("_X");
    const size_t d = name.find("_Y");
    if (c == std::string::npos || d == std::string::npos || !(c < d))
        return false;
    result.kind = PadControllerName::kParameterPair;
    result.xId = parseInteger(name.substr(c + 2, d - c - 2));
    result.yId = parseInteger(tail(name, d + 2));
    return true;
}
} // namespace

int32_t parseInteger(const std::string& text)
{
    const long value = std::strtol(text.c_str(), nullptr, 10);
    // Out-of-range numbers saturate rather than wrap into a different size.
    if (value > INT32_MAX)
        return INT32_MAX;
    if (value < INT32_MIN)
        return INT32_MIN;
    return static_cast<int32_t>(value);
}

bool parseFlag(const std::string& text)
{
    return text == "true";
}

std::string bitmapResourceName(const std::string& text)
{
    return text + ".png";
}

int32_t kickButtonNotifyMode(const std::string& name)
{
    if (name == "VexoKickButtonDU")
        return 0;
    if (name == "VexoKickButton" || name == "VexoKickButtonU")
        return 1;
    if (name == "VexoKickButtonD")
        return 2;
    return -1;
}

AnalogMeterName parseAnalogMeterName(const std::string& name)
{
    AnalogMeterName result;
    const size_t h = name.find("_H");
    const size_t z = name.find("_Z");
    if (h != std::string::npos && z != std::string::npos && h < z)
        result.frameHeight = std::atof(name.substr(h + 2, z - h - 2).c_str());
    if (z != std::string::npos)
        result.zeroFrame = std::atof(tail(name, z + 2).c_str());
    return result;
}

PadControllerName parseSubControllerName(const std::string& name)
{
    PadControllerName result;
    if (name == "VectorJoystick")
    {
        result.kind = PadControllerName::kVectorJoystick;
        return result;
    }
    if (name.find("Joystick_") != std::string::npos)
    {
        const size_t c = name.find("_X");
        const size_t d = name.find("_Y");
        if (c == std::string::npos || d == std::string::npos)
            return result;
        if (findPair(name, result))
            return result;
    }
    if (name.find("TrackPad_") != std::string::npos)
        findPair(name, result);
    return result;
}
} // namespace ViewNameRules
