// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <string>

namespace VSTGUI
{

using LogHandler = std::function<void(const std::string& line)>;

// Silent until a handler is set; an empty handler silences it again.
void setLogHandler(LogHandler handler);
void logLine(const std::string& line);

} // namespace VSTGUI
