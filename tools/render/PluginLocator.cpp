// SPDX-License-Identifier: GPL-3.0-or-later
#include "PluginLocator.h"

#include "RenderError.h"

#include <cstdlib>
#include <filesystem>
#include <sstream>

namespace fs = std::filesystem;

namespace halvane::render
{

PluginLocator::PluginLocator(std::string bundleName, std::string buildTreeBundle)
    : name(std::move(bundleName)), buildTree(std::move(buildTreeBundle))
{
}

std::vector<std::string> PluginLocator::searchPath() const
{
    std::vector<std::string> dirs;
    if (const char* env = std::getenv("VST3_PATH"))
    {
        std::stringstream list(env);
        std::string dir;
        while (std::getline(list, dir, ':'))
            if (!dir.empty()) dirs.push_back(dir);
    }
    if (const char* home = std::getenv("HOME"); home && *home)
        dirs.push_back(std::string(home) + "/.vst3");
    dirs.push_back("/usr/lib/vst3");
    dirs.push_back("/usr/local/lib/vst3");
    if (!buildTree.empty()) dirs.push_back(fs::path(buildTree).parent_path().string());
    return dirs;
}

std::string PluginLocator::locate() const
{
    std::string looked;
    for (const std::string& dir : searchPath())
    {
        const fs::path candidate = fs::path(dir) / name;
        std::error_code ec;
        if (fs::is_directory(candidate, ec)) return candidate.string();
        looked += (looked.empty() ? "" : ", ") + dir;
    }
    throw RenderError(name + " not found (looked in " + looked + "); use --plugin PATH");
}

} // namespace halvane::render
