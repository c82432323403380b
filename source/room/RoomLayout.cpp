// SPDX-License-Identifier: GPL-3.0-or-later
#include "RoomLayout.h"

#include "ResponseSet.h"

#include <algorithm>

CRoomLayout CRoomLayout::forRate(int rate)
{
    CRoomLayout l;
    if (rate > CResponseSet::kMaxRate) rate = CResponseSet::kBankRate;
    while (rate >= 2.0 * CResponseSet::kBankRate * l.scale)
        l.scale *= 2;
    l.headBlock = 128 * l.scale;
    l.headLength = 4096 * l.scale;
    l.tailBlock = 2048 * l.scale;
    l.naturalLength = CResponseSet::naturalLength(rate);
    const int rest = std::max(l.naturalLength - l.headLength, 1);
    const int partitions = (rest + l.tailBlock - 1) / l.tailBlock;
    l.tailLength = partitions * l.tailBlock;
    l.responseLength = l.headLength + l.tailLength;
    return l;
}
