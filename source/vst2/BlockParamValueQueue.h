// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "pluginterfaces/vst/ivstparameterchanges.h"

#include <vector>

namespace Steinberg
{
namespace Vst
{

// One parameter's points for one block, in sample order, with a capacity fixed up front so the
// audio thread never allocates. Owned by BlockParameterChanges, never by the plug-in.
class BlockParamValueQueue : public IParamValueQueue
{
public:
    explicit BlockParamValueQueue(int32 capacity);
    virtual ~BlockParamValueQueue() = default;

    void reset(ParamID id);
    // Pulls every point into 0..lastOffset, keeping their order.
    void clampOffsets(int32 lastOffset);

    ParamID PLUGIN_API getParameterId() SMTG_OVERRIDE { return id; }
    int32 PLUGIN_API getPointCount() SMTG_OVERRIDE { return used; }
    tresult PLUGIN_API getPoint(int32 index, int32& sampleOffset, ParamValue& value) SMTG_OVERRIDE;
    // A point at an offset already present replaces it; a full queue keeps its last point
    // current so the block still ends on the newest value.
    tresult PLUGIN_API addPoint(int32 sampleOffset, ParamValue value, int32& index) SMTG_OVERRIDE;

    tresult PLUGIN_API queryInterface(const TUID iid, void** obj) SMTG_OVERRIDE;
    // The wrapper owns these for the plug-in's whole life; counting would only mislead.
    uint32 PLUGIN_API addRef() SMTG_OVERRIDE { return 1; }
    uint32 PLUGIN_API release() SMTG_OVERRIDE { return 1; }

private:
    struct Point
    {
        int32 offset;
        ParamValue value;
    };
    ParamID id = 0;
    std::vector<Point> points;
    int32 used = 0;
};

} // namespace Vst
} // namespace Steinberg
