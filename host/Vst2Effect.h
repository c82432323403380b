// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "host/Vst2Opcodes.h"

#include <array>
#include <memory>
#include <string>
#include <vector>

namespace halvane::host
{

// A VST 2 plug-in loaded from its shared object and driven the way Linux VST 2 hosts do:
// VSTPluginMain, effOpen, sample rate and block size, effMainsChanged around processing.
// Every call the plug-in makes back to the host is recorded.
class Vst2Effect
{
public:
    struct HostCall
    {
        int opcode;
        int index;
        VstIntPtr value;
        float opt;
    };

    // Loads the shared object (a .so, or a .vst3 bundle) and asks it for an effect; the host
    // answers audioMasterVersion with `hostVersion`. Null when the plug-in declines; throws
    // HostError when the object cannot be loaded or has no VSTPluginMain.
    static std::unique_ptr<Vst2Effect> load(const std::string& path, int hostVersion = 2400);
    ~Vst2Effect();
    Vst2Effect(const Vst2Effect&) = delete;
    Vst2Effect& operator=(const Vst2Effect&) = delete;

    AEffect* effect() const { return plugin; }
    VstIntPtr dispatch(int opcode, int index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                       float opt = 0.0f);

    // --- set-up
    void setSampleRate(float rate);
    void setBlockSize(int frames);
    void resume();
    void suspend();
    bool isResumed() const { return resumed; }

    // --- texts
    std::string effectName();
    std::string vendorString();
    std::string productString();
    std::string parameterName(int index);
    std::string parameterLabel(int index);
    std::string parameterDisplay(int index);
    std::string programName();
    // Empty when the plug-in has no program at that index.
    std::string programNameIndexed(int index);
    VstIntPtr canDo(const std::string& feature);

    // --- parameters and programs
    void setParameter(int index, float value);
    float getParameter(int index);
    bool stringToParameter(int index, const std::string& text);
    void setProgram(int program);
    int program();

    // --- audio thread
    void process(float** inputs, float** outputs, int frames);
    void processDouble(double** inputs, double** outputs, int frames);
    // MIDI messages of three bytes, each at its frame of the next block.
    void sendMidi(const std::vector<std::array<unsigned char, 3>>& messages,
                  const std::vector<int>& frames);

    // --- state
    std::vector<char> chunk();
    bool setChunk(const void* data, VstIntPtr size);

    const std::vector<HostCall>& hostCalls() const { return calls; }
    size_t countHostCalls(int opcode) const;
    void clearHostCalls() { calls.clear(); }

private:
    Vst2Effect() = default;
    static VstIntPtr hostCallback(AEffect* effect, int opcode, int index, VstIntPtr value,
                                     void* ptr, float opt);
    VstIntPtr answer(int opcode, int index, VstIntPtr value, void* ptr, float opt);
    std::string text(int opcode, int index, size_t size);

    void* library = nullptr;
    AEffect* plugin = nullptr;
    int version = 2400;
    float sampleRate = 44100.0f;
    int blockSize = 512;
    bool resumed = false;
    std::vector<HostCall> calls;
};

} // namespace halvane::host
