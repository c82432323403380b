// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "BlockParamValueQueue.h"

#include <memory>
#include <vector>

namespace Steinberg
{
namespace Vst
{

// The parameter changes of one block as the wrapper hands them to the processor (or takes
// them back from it). Every queue exists from the start, so adding never allocates.
class BlockParameterChanges : public IParameterChanges
{
public:
    BlockParameterChanges(int32 maxParameters, int32 maxPointsPerParameter);
    virtual ~BlockParameterChanges() = default;

    void clear() { used = 0; }
    bool empty() const { return used == 0; }
    // Adds one point; false when the block has no room left for it.
    bool add(ParamID id, int32 sampleOffset, ParamValue value);
    void clampOffsets(int32 lastOffset);

    int32 PLUGIN_API getParameterCount() SMTG_OVERRIDE { return used; }
    IParamValueQueue* PLUGIN_API getParameterData(int32 index) SMTG_OVERRIDE;
    IParamValueQueue* PLUGIN_API addParameterData(const ParamID& id, int32& index) SMTG_OVERRIDE;

    tresult PLUGIN_API queryInterface(const TUID iid, void** obj) SMTG_OVERRIDE;
    uint32 PLUGIN_API addRef() SMTG_OVERRIDE { return 1; }
    uint32 PLUGIN_API release() SMTG_OVERRIDE { return 1; }

private:
    std::vector<std::unique_ptr<BlockParamValueQueue>> queues;
    int32 used = 0;
};

} // namespace Vst
} // namespace Steinberg
