// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "RoomUnderTest.h"

#include "host/Module.h"
#include "host/PluginInstance.h"

#include <memory>

namespace bench
{

// The room processor inside the built bundle, driven through halvane_host as a host does:
// parameter changes travel in the next process call.
class BundleRoom final : public RoomUnderTest
{
public:
    BundleRoom(std::shared_ptr<halvane::host::Module> module, double sampleRate, int maxBlock);

    void setAbsorption(double normalized) override;
    void setPosition(int position) override;
    void process(const float* const in[2], float* const out[2], int frames) override;

    Steinberg::uint32 latencySamples() const { return instance->latencySamples(); }

private:
    Steinberg::Vst::ParamID findId(const char* title) const;

    std::unique_ptr<halvane::host::PluginInstance> instance;
    Steinberg::Vst::ParamID absorptionId = 0;
    Steinberg::Vst::ParamID positionId = 0;
};

} // namespace bench
