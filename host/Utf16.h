// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "pluginterfaces/base/ftypes.h"

#include <string>

namespace halvane::host
{

// The VST 3 interfaces speak UTF-16; everything on our side is UTF-8.
std::string toUtf8(const Steinberg::char16* text, size_t maxUnits = 128);
std::u16string toUtf16(const std::string& text);
// Copies into a fixed String128-style buffer, always terminated.
void copyUtf16(const std::string& text, Steinberg::char16* dest, size_t destUnits);

} // namespace halvane::host
