// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "host/PluginInstance.h"

#include <ostream>
#include <string>
#include <vector>

namespace halvane::render
{

struct Setting
{
    Steinberg::Vst::ParamID id = 0;
    std::string title;
    double normalized = 0.0;
};

// Turns NAME=VALUE texts into parameter values the way the plug-in itself names and shows
// them, applies them as a host does, and prints the parameter table.
class ParameterSettings
{
public:
    explicit ParameterSettings(host::PluginInstance& plugin);

    // Throws RenderError for an unknown name or a value outside the range or list.
    Setting resolve(const std::string& name, const std::string& value) const;
    // Through the controller and, as a change at offset 0 of an empty block, the processor.
    // The plug-in must be active.
    void apply(const Setting& setting);
    bool has(const std::string& title) const;

    void list(std::ostream& out) const;

private:
    const host::ParameterInfo* find(const std::string& name) const;
    bool isList(const host::ParameterInfo& p) const;
    std::vector<std::string> entries(const host::ParameterInfo& p) const;
    std::string rangeText(const host::ParameterInfo& p) const;
    std::string validNames() const;

    host::PluginInstance& plugin;
    std::vector<host::ParameterInfo> params;
};

} // namespace halvane::render
