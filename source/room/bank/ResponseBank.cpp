// SPDX-License-Identifier: GPL-3.0-or-later
#include "room/ResponseBank.h"

// Defined by the assembled bank; hidden so the reference stays PC-relative in the module.
extern "C" __attribute__((visibility("hidden"))) const double halvane_response_data[];

namespace ResponseBank
{
const double* responseFor(int position, int axis, int ear)
{
    if (position < 0 || position >= kPositions) position = 0;
    return halvane_response_data +
           static_cast<long>(placeOf(position, axis, ear)) * kResponseLength;
}

const double* data()
{
    return halvane_response_data;
}
} // namespace ResponseBank
