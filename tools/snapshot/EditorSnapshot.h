// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "host/EditorView.h"

#include <string>

namespace halvane::host
{
class PluginInstance;
}

namespace halvane::snapshot
{

// The plug-in's editor as it opens with the instance's current settings, drawn at `scale`.
// Throws host::HostError when the plug-in has no editor or it cannot be drawn.
host::EditorImage renderEditor(host::PluginInstance& plugin, double scale = 1.0);

// Writes the picture as an 8-bit RGBA PNG. Throws host::HostError when it cannot.
void writePng(const host::EditorImage& image, const std::string& path);

// What hosts look for in the bundle: "<class id>_snapshot.png", "..._2.0x.png" for 2x.
std::string snapshotFileName(const host::PluginInstance& plugin, double scale);

} // namespace halvane::snapshot
