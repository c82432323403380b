// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "pluginterfaces/base/ftypes.h"

#include <cstddef>

namespace Steinberg
{
namespace Vst
{

// VST 2 texts are 8-bit; Linux hosts read them as UTF-8.

// Writes a UTF-16 text into a host buffer of `size` bytes: cut at a whole character, always
// terminated. Unpaired surrogates become '?'.
void copyToHostText(char* dest, size_t size, const char16* src);
// Reads a host's UTF-8 text into a UTF-16 field of `size` units; invalid bytes become '?'.
void copyFromHostText(char16* dest, size_t size, const char* src);

} // namespace Vst
} // namespace Steinberg
