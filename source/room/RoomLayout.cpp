// SPDX-License-Identifier: GPL-3.0-or-later
#include "RoomLayout.h"

#include "ResponseSet.h"

#include <algorithm>

namespace
{
// Block size and end tap of each stage at the bank's rate; the last runs to the response's
// end. Each later stage starts at twice its block, so it always has room for its latency.
// Measured: a fourth stage of longer blocks saves products but costs more in transforms
// and per-sample work than it saves. So does, at 88.2 and 96 kHz, a last block of eight or sixteen
// times the middle one's with the middle stage running on to twice it.
struct StagePlan
{
    int block;
    int end;
};
constexpr StagePlan kPlan[CRoomLayout::kMaxStages] = {{128, 1024}, {512, 4096}, {2048, 0}};
} // namespace

CRoomLayout CRoomLayout::forRate(int rate)
{
    CRoomLayout l;
    if (rate > CResponseSet::kMaxRate) rate = CResponseSet::kBankRate;
    while (rate >= 2.0 * CResponseSet::kBankRate * l.scale)
        l.scale *= 2;
    l.naturalLength = CResponseSet::naturalLength(rate);
    int start = 0;
    for (const StagePlan& plan : kPlan)
    {
        CRoomStage& s = l.stages[l.stageCount++];
        s.start = start;
        s.block = plan.block * l.scale;
        const int end = plan.end > 0 ? plan.end * l.scale : l.naturalLength;
        const int partitions = std::max((end - start + s.block - 1) / s.block, 1);
        s.length = partitions * s.block;
        start += s.length;
        if (plan.end <= 0 || start >= l.naturalLength) break;
    }
    // Every stage's first tap comes out as late as the whole room's latency says it should.
    const int latency = l.latency();
    for (int i = 1; i < l.stageCount; ++i)
    {
        CRoomStage& s = l.stages[i];
        const int slack = s.start + latency - (2 * s.block - 1);
        s.lag = std::min(slack, s.block / 2);
        s.delay = slack - s.lag;
    }
    l.responseLength = start;
    return l;
}
