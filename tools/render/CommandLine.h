// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace halvane::render
{

struct Options
{
    std::string input;
    std::string output;
    // NAME=VALUE pairs, in the order given
    std::vector<std::pair<std::string, std::string>> settings;
    bool list = false;
    bool force = false;
    bool help = false;
    std::optional<double> tailSeconds;
    std::string irPath;
    std::string plotPath;
    std::string editorSnapshotPath;
    std::string presetPath;
    std::string savePresetPath;
    std::string pluginPath;
    int blockSize = 512;
    // for --ir and --plot without an input file
    std::optional<double> sampleRate;

    bool hasAudioFiles() const { return !input.empty(); }
    // No files and nothing else to do: the built-in demo.
    bool isDemo() const;
};

// Throws a usage error (exit status 2) for anything malformed.
Options parseCommandLine(int argc, const char* const* argv);
const char* usageText();

} // namespace halvane::render
