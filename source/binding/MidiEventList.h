// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "pluginterfaces/vst/ivstevents.h"

class CPlugIn;

namespace Steinberg
{
namespace Vst
{
namespace Davu2VOV3
{

// The block's input events for a plug-in object that processes whole buffers: it pulls the
// events of each frame itself, in increasing frame order. Audio thread only.
class CVSTMidiEventList
{
public:
    explicit CVSTMidiEventList(CPlugIn* plugIn);

    virtual int32 getEventCount();
    // Delivers the note events at sampleOffset. True when at least one note on, note off or poly
    // pressure event was delivered.
    virtual bool fireMidiEvents(uint32 sampleOffset);

    virtual ~CVSTMidiEventList() = default;

    CVSTMidiEventList(const CVSTMidiEventList&) = delete;
    CVSTMidiEventList& operator=(const CVSTMidiEventList&) = delete;

    // Start of every block: the host's list (may be null), read from its first event.
    void attach(IEventList* list);

private:
    bool readEventAt(uint32 sampleOffset, Event& event);

    CPlugIn* plugIn;
    IEventList* eventList = nullptr;
    int32 readIndex = 0;
};

} // namespace Davu2VOV3
} // namespace Vst
} // namespace Steinberg
