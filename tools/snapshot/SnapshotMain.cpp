// SPDX-License-Identifier: GPL-3.0-or-later
// halvane-snapshot BUNDLE DIR: writes the editor pictures hosts show in their plug-in browsers,
// at 1x and 2x, into DIR under the names hosts look for.
#include "EditorSnapshot.h"

#include "host/HostError.h"
#include "host/Module.h"
#include "host/PluginInstance.h"

#include "pluginterfaces/vst/ivstaudioprocessor.h"

#include <cstdio>
#include <filesystem>

int main(int argc, char** argv)
{
    if (argc != 3)
    {
        std::fprintf(stderr, "usage: halvane-snapshot BUNDLE OUTPUT-DIRECTORY\n");
        return 2;
    }
    try
    {
        auto module = halvane::host::Module::load(argv[1]);
        const std::filesystem::path directory(argv[2]);
        std::filesystem::create_directories(directory);
        for (const auto& info : module->classes())
        {
            if (info.category != kVstAudioEffectClass) continue;
            auto plugin = halvane::host::PluginInstance::create(module, &info);
            for (double scale : {1.0, 2.0})
            {
                const auto image = halvane::snapshot::renderEditor(*plugin, scale);
                halvane::snapshot::writePng(
                    image, (directory / halvane::snapshot::snapshotFileName(*plugin, scale)).string());
            }
        }
    }
    catch (const std::exception& e)
    {
        std::fprintf(stderr, "halvane-snapshot: %s\n", e.what());
        return 1;
    }
    return 0;
}
