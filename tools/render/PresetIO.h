// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "host/PluginInstance.h"

#include <string>

namespace halvane::render
{

// Moves the plug-in's state in and out of standard .vstpreset files.
class PresetIO
{
public:
    explicit PresetIO(host::PluginInstance& plugin) : plugin(plugin) {}

    // Throws RenderError for a file that is unreadable, not a preset, or for another plug-in.
    void load(const std::string& path);
    // The preset file's bytes for the current state.
    host::Bytes save() const;

private:
    host::PluginInstance& plugin;
};

} // namespace halvane::render
