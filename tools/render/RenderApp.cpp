// SPDX-License-Identifier: GPL-3.0-or-later
#include "RenderApp.h"

#include "AudioReader.h"
#include "AudioWriter.h"
#include "DemoPhrase.h"
#include "PluginLocator.h"
#include "PresetIO.h"
#include "Progress.h"
#include "RenderError.h"
#include "ResponsePlot.h"

#include "EditorSnapshot.h"
#include "host/HostError.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <iostream>

namespace fs = std::filesystem;

namespace halvane::render
{

namespace
{

constexpr double kDefaultRate = 48000.0;
constexpr const char* kDemoDry = "halvane-demo-dry.wav";
constexpr const char* kDemoWet = "halvane-demo.wav";

bool samePath(const std::string& a, const std::string& b)
{
    std::error_code ec;
    if (fs::exists(a, ec) && fs::exists(b, ec)) return fs::equivalent(a, b, ec);
    return fs::weakly_canonical(a, ec) == fs::weakly_canonical(b, ec);
}

void writeBytes(const std::string& path, const std::string& shownName, const host::Bytes& bytes)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) throw RenderError("cannot write " + shownName);
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    if (std::fclose(f) != 0 || !ok) throw RenderError("cannot write " + shownName);
}

} // namespace

RenderApp::RenderApp(Options options, std::string buildTreeBundle)
    : opts(std::move(options)), buildTree(std::move(buildTreeBundle))
{
}

RenderApp::~RenderApp()
{
    // Instances before the module they came from.
    settings.reset();
    plugin.reset();
    module.reset();
}

int RenderApp::run()
{
    const bool demo = opts.isDemo();
    checkOutputs(demo);

    std::unique_ptr<AudioReader> reader;
    if (opts.hasAudioFiles())
    {
        reader = std::make_unique<AudioReader>(opts.input);
        rate = reader->sampleRate();
    }
    else
        rate = opts.sampleRate.value_or(kDefaultRate);

    loadPlugin(rate);
    applySettings();
    userState = plugin->getComponentState();

    if (!opts.savePresetPath.empty()) savePreset();
    if (opts.list)
    {
        const auto& c = plugin->classInfo();
        std::cout << c.name << ' ' << c.version << " by " << module->factoryInfo().vendor << " ("
                  << module->path() << ")\n";
        settings->list(std::cout);
    }
    if (reader) renderFile(*reader);
    if (!opts.irPath.empty() || !opts.plotPath.empty()) renderResponse();
    if (!opts.editorSnapshotPath.empty()) renderEditorSnapshot();
    if (demo) renderDemo();

    for (auto& file : pending)
        file->commit();
    report();
    return 0;
}

void RenderApp::checkOutputs(bool demo)
{
    std::vector<std::string> targets;
    if (opts.hasAudioFiles())
    {
        AudioWriter::formatFor(opts.output);
        targets.push_back(opts.output);
    }
    if (!opts.irPath.empty())
    {
        AudioWriter::formatFor(opts.irPath);
        targets.push_back(opts.irPath);
    }
    if (!opts.plotPath.empty()) targets.push_back(opts.plotPath);
    if (!opts.editorSnapshotPath.empty()) targets.push_back(opts.editorSnapshotPath);
    if (!opts.savePresetPath.empty()) targets.push_back(opts.savePresetPath);

    for (size_t i = 0; i < targets.size(); ++i)
    {
        const std::string& t = targets[i];
        if (opts.hasAudioFiles() && samePath(t, opts.input))
            throw RenderError("output " + t + " is the input file; choose another name");
        if (!opts.presetPath.empty() && samePath(t, opts.presetPath) && t != opts.savePresetPath)
            throw RenderError("output " + t + " is the preset being loaded");
        for (size_t j = 0; j < i; ++j)
            if (samePath(t, targets[j])) throw RenderError(t + " is named for two outputs");
        std::error_code ec;
        if (fs::is_directory(t, ec)) throw RenderError(t + " is a directory");
        PendingFile::checkReplaceable(t);
        if (fs::exists(t, ec) && !opts.force)
            throw RenderError(t + " exists; use --force to overwrite it");
    }
    (void)demo; // the demo replaces its own two files in the current directory
}

void RenderApp::loadPlugin(double sampleRate)
{
    const std::string bundle = !opts.pluginPath.empty()
                                   ? opts.pluginPath
                                   : PluginLocator("HalvaneDuo.vst3", buildTree).locate();
    module = host::Module::load(bundle);
    rate = sampleRate;
    plugin = startInstance();
    settings = std::make_unique<ParameterSettings>(*plugin);
}

std::unique_ptr<host::PluginInstance> RenderApp::startInstance()
{
    auto instance = host::PluginInstance::create(module);
    if (!instance->setupProcessing(rate, opts.blockSize, Steinberg::Vst::kOffline))
        throw RenderError("the plug-in refused to process at " + std::to_string(rate) +
                          " Hz in blocks of " + std::to_string(opts.blockSize));
    if (!instance->setActive(true)) throw RenderError("the plug-in could not be activated");
    return instance;
}

void RenderApp::applySettings()
{
    // Resolve everything first so that a bad value stops the run before any work.
    for (const auto& [name, value] : opts.settings)
        resolved.push_back(settings->resolve(name, value));
    // The state goes in after activation, so that activation does not reshape what it set.
    if (!opts.presetPath.empty()) PresetIO(*plugin).load(opts.presetPath);
    for (const Setting& s : resolved)
        settings->apply(s);
}

void RenderApp::savePreset()
{
    pending.push_back(std::make_unique<PendingFile>(opts.savePresetPath));
    writeBytes(pending.back()->path(), opts.savePresetPath, PresetIO(*plugin).save());
    written.push_back(opts.savePresetPath);
}

void RenderApp::renderThrough(host::PluginInstance& instance, const Renderer::Source& source,
                              const Renderer::Sink& sink, std::int64_t expectedFrames)
{
    Renderer renderer(instance);
    renderer.setTailSeconds(opts.tailSeconds);
    Progress progress(Progress::stderrIsTerminal());
    renderer.setProgress(&progress, expectedFrames);

    const auto start = std::chrono::steady_clock::now();
    const RenderResult r = renderer.run(source, sink);
    wallSeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    inputSeconds += static_cast<double>(r.inputFrames) / rate;
    tailSeconds += static_cast<double>(r.tailFrames) / rate;
    renderedSeconds += static_cast<double>(r.inputFrames + r.tailFrames) / rate;
}

void RenderApp::renderFile(AudioReader& reader)
{
    if (reader.channels() == 1)
    {
        // One channel feeds the left input; let both ears hear it unless told otherwise.
        const auto userSet = [this](const std::string& title)
        {
            return std::any_of(resolved.begin(), resolved.end(),
                               [&](const Setting& s) { return s.title == title; });
        };
        if (!userSet("Stereo/Mono") && settings->has("Stereo/Mono"))
            settings->apply(settings->resolve("Stereo/Mono", "Mono"));
        if (!userSet("Left/Right") && settings->has("Left/Right"))
            settings->apply(settings->resolve("Left/Right", "Left"));
    }
    pending.push_back(std::make_unique<PendingFile>(opts.output));
    AudioWriter writer(pending.back()->path(), opts.output, rate);
    renderThrough(
        *plugin, [&](float* l, float* r, std::int64_t n) { return reader.read(l, r, n); },
        [&](const float* l, const float* r, std::int64_t n) { writer.write(l, r, n); },
        reader.frames());
    writer.close();
    written.push_back(opts.output);
}

void RenderApp::renderEditorSnapshot()
{
    // The editor opens on the instance the settings went to, so it shows them.
    host::EditorImage image;
    try
    {
        image = snapshot::renderEditor(*plugin);
    }
    catch (const host::HostError& e)
    {
        throw RenderError(e.what());
    }
    pending.push_back(std::make_unique<PendingFile>(opts.editorSnapshotPath));
    try
    {
        snapshot::writePng(image, pending.back()->path());
    }
    catch (const host::HostError&)
    {
        throw RenderError("cannot write " + opts.editorSnapshotPath);
    }
    written.push_back(opts.editorSnapshotPath);
}

void RenderApp::renderResponse()
{
    // A fresh instance with the user's settings, so that no earlier audio rings into it.
    auto instance = startInstance();
    if (!instance->setComponentState(userState))
        throw RenderError("the plug-in did not take its own state back");

    std::vector<float> left, right;
    bool sent = false;
    renderThrough(
        *instance,
        [&](float* l, float* r, std::int64_t) -> std::int64_t
        {
            if (sent) return 0;
            sent = true;
            l[0] = r[0] = 1.f;
            return 1;
        },
        [&](const float* l, const float* r, std::int64_t n)
        {
            left.insert(left.end(), l, l + n);
            right.insert(right.end(), r, r + n);
        },
        1);

    if (!opts.irPath.empty())
    {
        pending.push_back(std::make_unique<PendingFile>(opts.irPath));
        AudioWriter writer(pending.back()->path(), opts.irPath, rate);
        writer.write(left.data(), right.data(), static_cast<std::int64_t>(left.size()));
        writer.close();
        written.push_back(opts.irPath);
    }
    if (!opts.plotPath.empty())
    {
        pending.push_back(std::make_unique<PendingFile>(opts.plotPath));
        ResponsePlot(std::move(left), std::move(right), rate, settingsSummary())
            .writePng(pending.back()->path(), opts.plotPath);
        written.push_back(opts.plotPath);
    }
}

void RenderApp::renderDemo()
{
    const DemoPhrase phrase(rate);
    const auto frames = static_cast<std::int64_t>(phrase.left().size());

    pending.push_back(std::make_unique<PendingFile>(kDemoDry));
    AudioWriter dry(pending.back()->path(), kDemoDry, rate);
    dry.write(phrase.left().data(), phrase.right().data(), frames);
    dry.close();

    pending.push_back(std::make_unique<PendingFile>(kDemoWet));
    AudioWriter wet(pending.back()->path(), kDemoWet, rate);
    std::int64_t pos = 0;
    renderThrough(
        *plugin,
        [&](float* l, float* r, std::int64_t n)
        {
            const std::int64_t k = std::min(n, frames - pos);
            std::copy_n(phrase.left().data() + pos, k, l);
            std::copy_n(phrase.right().data() + pos, k, r);
            pos += k;
            return k;
        },
        [&](const float* l, const float* r, std::int64_t n) { wet.write(l, r, n); }, frames);
    wet.close();

    const fs::path here = fs::current_path();
    std::printf("Demo: synthesised a %.1f s dry phrase (%s) and wrote it to %s.\n",
                phrase.seconds(), DemoPhrase::description(), (here / kDemoDry).c_str());
    std::printf("It went through %s (%s) with %s; the result is %s.\n",
                plugin->classInfo().name.c_str(), module->path().c_str(), settingsSummary().c_str(),
                (here / kDemoWet).c_str());
    std::printf("Try another direction: halvane-render %s out.wav --set Position=L45\n", kDemoDry);
    written.push_back(kDemoDry);
    written.push_back(kDemoWet);
}

std::string RenderApp::settingsSummary() const
{
    std::string text;
    for (const Setting& s : resolved)
        text += (text.empty() ? "" : ", ") + s.title + " " +
                plugin->getParamStringByValue(s.id, s.normalized);
    if (!opts.presetPath.empty())
        text = "preset " + fs::path(opts.presetPath).filename().string() +
               (text.empty() ? "" : ", ") + text;
    return text.empty() ? "default settings" : text;
}

void RenderApp::report() const
{
    std::string files;
    for (const std::string& f : written)
        files += (files.empty() ? "" : ", ") + f;
    if (renderedSeconds <= 0.0)
    {
        if (!files.empty()) std::printf("Wrote %s\n", files.c_str());
        return;
    }
    const double speed = wallSeconds > 0.0 ? renderedSeconds / wallSeconds : 0.0;
    std::printf("Rendered %.2f s (%.2f s input + %.2f s tail) at %.0f Hz in %.2f s, %.1fx real "
                "time: %s\n",
                renderedSeconds, inputSeconds, tailSeconds, rate, wallSeconds, speed,
                files.c_str());
}

} // namespace halvane::render
