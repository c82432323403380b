// SPDX-License-Identifier: GPL-3.0-or-later
#include "vstgui/Log.h"

namespace VSTGUI
{

namespace
{

LogHandler& currentHandler()
{
    static LogHandler handler;
    return handler;
}

} // namespace

void setLogHandler(LogHandler handler)
{
    currentHandler() = std::move(handler);
}

void logLine(const std::string& line)
{
    if (currentHandler())
        currentHandler()(line);
}

} // namespace VSTGUI
