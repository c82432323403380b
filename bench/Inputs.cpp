// SPDX-License-Identifier: GPL-3.0-or-later
#include "Inputs.h"

#include "room/DecayEnvelope.h"
#include "room/ResponseBank.h"
#include "room/ResponseSet.h"
#include "room/RoomLayout.h"

namespace bench
{

std::vector<float> noise(int frames, uint32_t seed)
{
    std::vector<float> samples(static_cast<size_t>(frames));
    uint32_t state = seed ? seed : 1u;
    for (float& s : samples)
    {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        s = 0.25f * (static_cast<float>(state) / 2147483648.0f - 1.0f);
    }
    return samples;
}

std::vector<double> defaultRoomResponse(int ear)
{
    constexpr double kAbsorption = 7.0;
    constexpr int kRate = 48000;
    const CRoomLayout layout = CRoomLayout::forRate(kRate);
    const auto set = CResponseSet::forRate(kRate, layout.responseLength);
    std::vector<double> response(static_cast<size_t>(layout.naturalLength), 0.0);
    for (int axis = 0; axis < ResponseBank::kAxes; ++axis)
    {
        CDecayEnvelope envelope;
        envelope.set(CDecayEnvelope::kHyperbolic, kAbsorption, kRate);
        const CResponseTaps taps = set->responseFor(0, axis, ear);
        for (int n = 0; n < layout.naturalLength; ++n)
            response[static_cast<size_t>(n)] += envelope.at(n) * taps[n];
    }
    return response;
}

} // namespace bench
