// SPDX-License-Identifier: GPL-3.0-or-later
#include "host/ProcessBuffers.h"

#include <algorithm>
#include <cstring>

using namespace Steinberg;

namespace halvane::host
{

void ProcessBuffers::configure(const std::vector<int32>& channelsPerBus, int32 maxSamples)
{
    capacity = std::max<int32>(maxSamples, 1);
    const size_t n = channelsPerBus.size();
    busBuffers.assign(n, Vst::AudioBusBuffers());
    pointers.assign(n, {});
    scratch.assign(n, {});
    for (size_t b = 0; b < n; ++b)
    {
        const auto ch = static_cast<size_t>(std::max<int32>(channelsPerBus[b], 0));
        scratch[b].assign(ch, std::vector<float>(static_cast<size_t>(capacity), 0.f));
        pointers[b].resize(std::max<size_t>(ch, 1), nullptr);
        for (size_t c = 0; c < ch; ++c)
            pointers[b][c] = scratch[b][c].data();
        busBuffers[b].numChannels = static_cast<int32>(ch);
        busBuffers[b].silenceFlags = 0;
        busBuffers[b].channelBuffers32 = pointers[b].data();
    }
}

void ProcessBuffers::bindMain(const float* const* channels, int32 numChannels, int32 numSamples,
                              bool isInput)
{
    for (size_t b = 0; b < busBuffers.size(); ++b)
    {
        const size_t ch = scratch[b].size();
        for (size_t c = 0; c < ch; ++c)
        {
            const bool fromCaller = b == 0 && channels && static_cast<int32>(c) < numChannels;
            if (fromCaller)
                pointers[b][c] = const_cast<float*>(channels[c]);
            else
            {
                pointers[b][c] = scratch[b][c].data();
                if (isInput)
                    std::memset(pointers[b][c], 0, sizeof(float) * static_cast<size_t>(numSamples));
            }
        }
    }
}

int32 ProcessBuffers::channels(int32 bus) const
{
    if (bus < 0 || bus >= busCount()) return 0;
    return busBuffers[static_cast<size_t>(bus)].numChannels;
}

} // namespace halvane::host
