// SPDX-License-Identifier: GPL-3.0-or-later
#include "host/Vst2Effect.h"

#include "host/HostError.h"
#include "host/Module.h"

#include <dlfcn.h>

#include <cstring>

namespace halvane::host
{

namespace
{
using PluginMain = AEffect* (*)(audioMasterCallback);

// The host object being created: VSTPluginMain calls back before the AEffect exists.
thread_local Vst2Effect* loading = nullptr;
thread_local int loadingVersion = 0;

// Plug-ins may write more than the nominal sizes; give every text call ample room.
constexpr size_t kTextBuffer = 256;
} // namespace

std::unique_ptr<Vst2Effect> Vst2Effect::load(const std::string& path, int hostVersion)
{
    const std::string binary = Module::binaryPath(path);
    std::unique_ptr<Vst2Effect> host(new Vst2Effect());
    host->version = hostVersion;
    host->library = ::dlopen(binary.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!host->library)
    {
        const char* why = ::dlerror();
        throw HostError("cannot load " + binary + ": " + (why ? why : "unknown error"));
    }
    auto main = reinterpret_cast<PluginMain>(::dlsym(host->library, "VSTPluginMain"));
    if (!main) throw HostError(binary + " does not export VSTPluginMain");

    loading = host.get();
    loadingVersion = hostVersion;
    host->plugin = main(hostCallback);
    loading = nullptr;
    if (!host->plugin) return nullptr;
    if (host->plugin->magic != kEffectMagic) throw HostError(binary + " returned no VST 2 effect");
    // The two reserved words belong to the host; the first finds this object again.
    host->plugin->resvd1 = reinterpret_cast<VstIntPtr>(host.get());
    host->dispatch(effOpen);
    host->setSampleRate(host->sampleRate);
    host->setBlockSize(host->blockSize);
    return host;
}

Vst2Effect::~Vst2Effect()
{
    if (plugin)
    {
        if (resumed) suspend();
        dispatch(effClose);
    }
    if (library) ::dlclose(library);
}

VstIntPtr Vst2Effect::hostCallback(AEffect* effect, int opcode, int index, VstIntPtr value,
                                   void* ptr, float opt)
{
    Vst2Effect* host = effect && effect->resvd1 ? reinterpret_cast<Vst2Effect*>(effect->resvd1)
                                                : loading;
    if (!host) return opcode == audioMasterVersion ? loadingVersion : 0;
    return host->answer(opcode, index, value, ptr, opt);
}

VstIntPtr Vst2Effect::answer(int opcode, int index, VstIntPtr value, void* ptr, float opt)
{
    calls.push_back({opcode, index, value, opt});
    switch (opcode)
    {
    case audioMasterVersion:
        return version;
    case audioMasterGetSampleRate:
        return static_cast<VstIntPtr>(sampleRate);
    case audioMasterGetBlockSize:
        return blockSize;
    case audioMasterGetCurrentProcessLevel:
        return kVstProcessLevelRealtime;
    case audioMasterGetVendorString:
        if (ptr) std::strcpy(static_cast<char*>(ptr), "Halvane");
        return 1;
    case audioMasterGetProductString:
        if (ptr) std::strcpy(static_cast<char*>(ptr), "Halvane test host");
        return 1;
    default:
        return 0;
    }
}

VstIntPtr Vst2Effect::dispatch(int opcode, int index, VstIntPtr value, void* ptr, float opt)
{
    return plugin->dispatcher(plugin, opcode, index, value, ptr, opt);
}

void Vst2Effect::setSampleRate(float rate)
{
    sampleRate = rate;
    dispatch(effSetSampleRate, 0, 0, nullptr, rate);
}

void Vst2Effect::setBlockSize(int frames)
{
    blockSize = frames;
    dispatch(effSetBlockSize, 0, frames);
}

void Vst2Effect::resume()
{
    dispatch(effMainsChanged, 0, 1);
    resumed = true;
}

void Vst2Effect::suspend()
{
    dispatch(effMainsChanged, 0, 0);
    resumed = false;
}

std::string Vst2Effect::text(int opcode, int index, size_t size)
{
    std::vector<char> buffer(kTextBuffer, '\x7f');
    buffer[0] = 0;
    dispatch(opcode, index, 0, buffer.data());
    // Writing past what the interface allows is a fault, whatever the host reserved.
    if (std::memchr(buffer.data(), 0, size) == nullptr)
        throw HostError("plug-in text of opcode " + std::to_string(opcode) + " overruns " +
                        std::to_string(size) + " bytes");
    return std::string(buffer.data());
}

std::string Vst2Effect::effectName()
{
    return text(effGetEffectName, 0, 64);
}

std::string Vst2Effect::vendorString()
{
    return text(effGetVendorString, 0, 64);
}

std::string Vst2Effect::productString()
{
    return text(effGetProductString, 0, 64);
}

std::string Vst2Effect::parameterName(int index)
{
    return text(effGetParamName, index, 64);
}

std::string Vst2Effect::parameterLabel(int index)
{
    return text(effGetParamLabel, index, 64);
}

std::string Vst2Effect::parameterDisplay(int index)
{
    return text(effGetParamDisplay, index, 64);
}

std::string Vst2Effect::programName()
{
    return text(effGetProgramName, 0, 24);
}

std::string Vst2Effect::programNameIndexed(int index)
{
    return text(effGetProgramNameIndexed, index, 24);
}

VstIntPtr Vst2Effect::canDo(const std::string& feature)
{
    return dispatch(effCanDo, 0, 0, const_cast<char*>(feature.c_str()));
}

void Vst2Effect::setParameter(int index, float value)
{
    plugin->setParameter(plugin, index, value);
}

float Vst2Effect::getParameter(int index)
{
    return plugin->getParameter(plugin, index);
}

bool Vst2Effect::stringToParameter(int index, const std::string& text)
{
    return dispatch(effString2Parameter, index, 0, const_cast<char*>(text.c_str())) != 0;
}

void Vst2Effect::setProgram(int program)
{
    dispatch(effSetProgram, 0, program);
}

int Vst2Effect::program()
{
    return static_cast<int>(dispatch(effGetProgram));
}

void Vst2Effect::process(float** inputs, float** outputs, int frames)
{
    plugin->processReplacing(plugin, inputs, outputs, frames);
}

void Vst2Effect::processDouble(double** inputs, double** outputs, int frames)
{
    plugin->processDoubleReplacing(plugin, inputs, outputs, frames);
}

void Vst2Effect::sendMidi(const std::vector<std::array<unsigned char, 3>>& messages,
                          const std::vector<int>& frames)
{
    std::vector<VstMidiEvent> midi(messages.size());
    // VstEvents ends in a flexible array; give it room for every pointer.
    std::vector<char> storage(sizeof(VstEvents) + messages.size() * sizeof(VstEvent*));
    auto* list = reinterpret_cast<VstEvents*>(storage.data());
    list->numEvents = static_cast<int>(messages.size());
    for (size_t i = 0; i < messages.size(); ++i)
    {
        std::memset(&midi[i], 0, sizeof(VstMidiEvent));
        midi[i].type = kVstMidiType;
        midi[i].byteSize = sizeof(VstMidiEvent);
        midi[i].deltaFrames = i < frames.size() ? frames[i] : 0;
        std::memcpy(midi[i].midiData, messages[i].data(), 3);
        list->events[i] = reinterpret_cast<VstEvent*>(&midi[i]);
    }
    dispatch(effProcessEvents, 0, 0, list);
}

std::vector<char> Vst2Effect::chunk()
{
    void* data = nullptr;
    const VstIntPtr size = dispatch(effGetChunk, 0, 0, &data);
    if (size <= 0 || !data) return {};
    const char* bytes = static_cast<const char*>(data);
    return std::vector<char>(bytes, bytes + size);
}

bool Vst2Effect::setChunk(const void* data, VstIntPtr size)
{
    return dispatch(effSetChunk, 0, size, const_cast<void*>(data)) != 0;
}

size_t Vst2Effect::countHostCalls(int opcode) const
{
    size_t n = 0;
    for (const HostCall& call : calls)
        if (call.opcode == opcode) ++n;
    return n;
}

} // namespace halvane::host
