// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

namespace halvane::render
{

// Finds a bundle where Linux hosts look for VST 3 plug-ins, then in our own build tree.
class PluginLocator
{
public:
    PluginLocator(std::string bundleName, std::string buildTreeBundle);

    // The directories searched, in order.
    std::vector<std::string> searchPath() const;
    // The first existing bundle; throws RenderError naming the places looked at.
    std::string locate() const;

private:
    std::string name;
    std::string buildTree;
};

} // namespace halvane::render
