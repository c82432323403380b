// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "pluginterfaces/vst/ivstparameterchanges.h"

#include <vector>

namespace halvane::host
{

// One parameter's points for one block. Capacity is fixed at construction so that the
// audio thread never allocates; points stay sorted by sample offset.
class ParamValueQueue : public Steinberg::Vst::IParamValueQueue
{
public:
    explicit ParamValueQueue(int capacity);
    virtual ~ParamValueQueue() = default;

    void reset(Steinberg::Vst::ParamID id);
    int capacity() const { return static_cast<int>(points.size()); }

    Steinberg::Vst::ParamID PLUGIN_API getParameterId() override { return paramId; }
    Steinberg::int32 PLUGIN_API getPointCount() override { return count; }
    Steinberg::tresult PLUGIN_API getPoint(Steinberg::int32 index, Steinberg::int32& sampleOffset,
                                           Steinberg::Vst::ParamValue& value) override;
    // A point at an offset already present replaces that point's value.
    Steinberg::tresult PLUGIN_API addPoint(Steinberg::int32 sampleOffset,
                                           Steinberg::Vst::ParamValue value,
                                           Steinberg::int32& index) override;

    DECLARE_FUNKNOWN_METHODS

private:
    struct Point
    {
        Steinberg::int32 offset;
        Steinberg::Vst::ParamValue value;
    };

    Steinberg::Vst::ParamID paramId = 0;
    Steinberg::int32 count = 0;
    std::vector<Point> points;
};

} // namespace halvane::host
