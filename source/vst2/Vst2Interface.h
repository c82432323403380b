// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The VST 2 interface as FST describes it, plus the opcodes and records FST leaves unnamed
// (FST numbers those outside the interface, so they cannot be used as they stand).
#include <pluginterfaces/fst/aeffectx.h>

#include <cstdint>

namespace Steinberg
{
namespace Vst
{
namespace Vst2
{

enum EffectOpcode : int
{
    kEffSetBypass = 44,
    kEffGetTailSize = 52,
    kEffIdle = 53,
    kEffGetParameterProperties = 56,
    kEffGetNumMidiInputChannels = 78,
};

enum HostOpcode : int
{
    kMasterIOChanged = 13,
    kMasterUpdateDisplay = 42,
};

// Sizes of the text buffers hosts pass in.
constexpr int kProgramNameSize = 24;
constexpr int kStringSize = 64;
// The interface's nominal limit for parameter texts is 8 bytes, but hosts reserve far more
// and names cut to 7 letters help nobody. 24 bytes, the size every host gives program names,
// holds all of ours ("MIDI Channel Pressure") while asking the least of a host's buffer.
constexpr int kParamTextSize = 24;

enum ParameterFlags : int32_t
{
    kParamIsSwitch = 1 << 0,
    kParamUsesIntegerMinMax = 1 << 1,
    kParamUsesIntStep = 1 << 3,
    kParamCanRamp = 1 << 6,
};

struct ParameterProperties
{
    float stepFloat;
    float smallStepFloat;
    float largeStepFloat;
    char label[64];
    int32_t flags;
    int32_t minInteger;
    int32_t maxInteger;
    int32_t stepInteger;
    int32_t largeStepInteger;
    char shortLabel[8];
    int16_t displayIndex;
    int16_t category;
    int16_t numParametersInCategory;
    int16_t reserved;
    char categoryLabel[24];
    char future[16];
};

} // namespace Vst2
} // namespace Vst
} // namespace Steinberg
