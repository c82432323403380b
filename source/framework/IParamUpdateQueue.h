// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

// Sample-accurate values of one control within the current block, offered by the host binding
// through CControlDescriptor::pendingQueue when the plug-in object sets useParamQueues. Values
// are in the host's normalised scale. Audio thread only.
class IParamUpdateQueue
{
public:
    virtual int32_t getParameterIndex() = 0;
    // True, with *value written, when the queue hands out a new value at sampleOffset.
    virtual bool getValueAtOffset(int32_t sampleOffset, double unused, double* value) = 0;
    // The same for the sample after the one last asked for.
    virtual bool getNextValue(double* value) = 0;

protected:
    ~IParamUpdateQueue() = default;
};
