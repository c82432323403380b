// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "pluginterfaces/vst/ivstevents.h"

#include <vector>

namespace Steinberg
{
namespace Vst
{

// The events of one block with a capacity fixed up front: effProcessEvents fills it on the
// audio thread, the next block hands it to the processor.
class BlockEventList : public IEventList
{
public:
    explicit BlockEventList(int32 capacity);
    virtual ~BlockEventList() = default;

    void clear() { used = 0; }
    void clampOffsets(int32 lastOffset);

    int32 PLUGIN_API getEventCount() SMTG_OVERRIDE { return used; }
    tresult PLUGIN_API getEvent(int32 index, Event& e) SMTG_OVERRIDE;
    // Keeps sample order: an event earlier than the last one goes before it.
    tresult PLUGIN_API addEvent(Event& e) SMTG_OVERRIDE;

    tresult PLUGIN_API queryInterface(const TUID iid, void** obj) SMTG_OVERRIDE;
    uint32 PLUGIN_API addRef() SMTG_OVERRIDE { return 1; }
    uint32 PLUGIN_API release() SMTG_OVERRIDE { return 1; }

private:
    std::vector<Event> events;
    int32 used = 0;
};

} // namespace Vst
} // namespace Steinberg
