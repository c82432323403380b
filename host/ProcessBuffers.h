// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "pluginterfaces/vst/ivstaudioprocessor.h"

#include <vector>

namespace halvane::host
{

// The AudioBusBuffers of one direction (all inputs or all outputs). Bus 0 is pointed at the
// caller's channels each block; every other channel, and any bus-0 channel the caller does
// not supply, gets a scratch buffer, so the plug-in always sees valid memory. Everything is
// sized by configure(), so binding a block allocates nothing.
class ProcessBuffers
{
public:
    void configure(const std::vector<Steinberg::int32>& channelsPerBus,
                   Steinberg::int32 maxSamples);

    // Points bus 0 at the given channels; clears the scratch buffers of an input direction.
    void bindMain(const float* const* channels, Steinberg::int32 numChannels,
                  Steinberg::int32 numSamples, bool isInput);

    Steinberg::Vst::AudioBusBuffers* buses()
    {
        return busBuffers.empty() ? nullptr : busBuffers.data();
    }
    Steinberg::int32 busCount() const { return static_cast<Steinberg::int32>(busBuffers.size()); }
    Steinberg::int32 channels(Steinberg::int32 bus) const;
    Steinberg::int32 maxSamples() const { return capacity; }

private:
    std::vector<Steinberg::Vst::AudioBusBuffers> busBuffers;
    std::vector<std::vector<float*>> pointers;
    std::vector<std::vector<std::vector<float>>> scratch;
    Steinberg::int32 capacity = 0;
};

} // namespace halvane::host
