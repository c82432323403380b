// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

// The unit a text view puts after its value.
namespace UnitsText
{
// The control table's units text without the blanks around it.
std::string trimmed(const char* unitsText);
// text, a space and the suffix; text alone when the suffix is empty.
std::string withSuffix(const std::string& text, const std::string& suffix);
} // namespace UnitsText
