// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "CommandLine.h"
#include "ParameterSettings.h"
#include "PendingFile.h"
#include "Renderer.h"

#include "host/Module.h"
#include "host/PluginInstance.h"

#include <memory>
#include <string>
#include <vector>

namespace halvane::render
{

class AudioReader;

// One run of halvane-render: checks every file first, loads the plug-in, applies preset and
// settings, renders, and only then moves the finished files into place.
class RenderApp
{
public:
    RenderApp(Options options, std::string buildTreeBundle);
    ~RenderApp();
    int run();

private:
    void checkOutputs(bool demo);
    void loadPlugin(double sampleRate);
    std::unique_ptr<host::PluginInstance> startInstance();
    void applySettings();
    void renderFile(AudioReader& reader);
    void renderResponse();
    void renderEditorSnapshot();
    void renderDemo();
    void savePreset();
    void renderThrough(host::PluginInstance& plugin, const Renderer::Source& source,
                       const Renderer::Sink& sink, std::int64_t expectedFrames);
    std::string settingsSummary() const;
    void report() const;

    Options opts;
    std::string buildTree;
    std::shared_ptr<host::Module> module;
    std::unique_ptr<host::PluginInstance> plugin;
    std::unique_ptr<ParameterSettings> settings;
    std::vector<Setting> resolved;
    host::Bytes userState;
    double rate = 48000.0;

    std::vector<std::unique_ptr<PendingFile>> pending;
    std::vector<std::string> written;
    double renderedSeconds = 0.0;
    double inputSeconds = 0.0;
    double tailSeconds = 0.0;
    double wallSeconds = 0.0;
};

} // namespace halvane::render
