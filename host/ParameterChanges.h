// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "host/ParamValueQueue.h"

#include <memory>
#include <vector>

namespace halvane::host
{

// The host's list of parameter queues for one block; fixed capacity in queues and in
// points per queue. Queues keep the order in which their parameters were first added.
class ParameterChanges : public Steinberg::Vst::IParameterChanges
{
public:
    explicit ParameterChanges(int maxParameters = 64, int maxPointsPerParameter = 64);
    virtual ~ParameterChanges() = default;

    // Convenience for tests and tools: queue one point, false when the capacity is reached.
    bool add(Steinberg::Vst::ParamID id, Steinberg::int32 sampleOffset,
             Steinberg::Vst::ParamValue value);
    // The queue of a parameter, or null when none was added in this block.
    ParamValueQueue* find(Steinberg::Vst::ParamID id);
    void clear() { used = 0; }
    bool empty() const { return used == 0; }

    Steinberg::int32 PLUGIN_API getParameterCount() override { return used; }
    Steinberg::Vst::IParamValueQueue* PLUGIN_API getParameterData(Steinberg::int32 index) override;
    // Adding a parameter that already has a queue returns that queue.
    Steinberg::Vst::IParamValueQueue* PLUGIN_API addParameterData(const Steinberg::Vst::ParamID& id,
                                                                  Steinberg::int32& index) override;

    DECLARE_FUNKNOWN_METHODS

private:
    std::vector<std::unique_ptr<ParamValueQueue>> queues;
    Steinberg::int32 used = 0;
};

} // namespace halvane::host
