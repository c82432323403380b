// SPDX-License-Identifier: GPL-3.0-or-later
#include "DirectRoom.h"

#if defined(__SSE__)
#include <xmmintrin.h>
#endif

namespace bench
{
namespace
{
// The bundle flushes denormals around every process call; do the same here so both
// paths compute alike.
class FlushDenormals
{
public:
#if defined(__SSE__)
    FlushDenormals() : saved(_mm_getcsr())
    {
        _mm_setcsr(saved | 0x8040u);
    }
    ~FlushDenormals()
    {
        _mm_setcsr(saved);
    }

private:
    unsigned saved;
#endif
};
} // namespace

DirectRoom::DirectRoom(uint32_t sampleRate)
{
    room.sampleRate = sampleRate;
    room.onCreated();
    room.prepare();
}

void DirectRoom::setAbsorption(double normalized)
{
    room.setControlNormalized(CHalvane::kAbsLR, static_cast<float>(normalized), true);
}

double DirectRoom::absorptionTop() const
{
    const CControlDescriptor* control = room.controlAt(CHalvane::kAbsLR);
    return control ? control->maxValue : 0.0;
}

void DirectRoom::setPosition(int position)
{
    room.setControlValue(CHalvane::kPosition, static_cast<float>(position));
}

void DirectRoom::process(const float* const in[2], float* const out[2], int frames)
{
    FlushDenormals flush;
    for (int i = 0; i < frames; ++i)
    {
        const float frame[2] = {in[0][i], in[1][i]};
        float result[2];
        room.processFrame(frame, result, 2, 2);
        out[0][i] = result[0];
        out[1][i] = result[1];
    }
}

} // namespace bench
