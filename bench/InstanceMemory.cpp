// SPDX-License-Identifier: GPL-3.0-or-later
#include "InstanceMemory.h"

#include "BundleRoom.h"
#include "Workload.h"

#include <vector>

namespace bench
{
namespace
{
void playEveryPosition(RoomUnderTest& room)
{
    constexpr int kFrames = Workload::kHostBlock;
    constexpr int kBlocksPerPosition = (65536 + 2048 + 1024) / kFrames;
    std::vector<float> in(kFrames, 0.1f), left(kFrames), right(kFrames);
    const float* const input[2] = {in.data(), in.data()};
    float* const output[2] = {left.data(), right.data()};
    for (int position = 0; position < 11; ++position)
    {
        room.setPosition(position);
        for (int b = 0; b < kBlocksPerPosition; ++b)
            room.process(input, output, kFrames);
    }
}
} // namespace

InstanceMemory measureInstanceMemory(const std::shared_ptr<halvane::host::Module>& module)
{
    InstanceMemory m;
    const Resident start = residentNow();
    BundleRoom first(module, Workload::kSampleRate, Workload::kHostBlock);
    m.firstCreated = residentNow() - start;

    Resident before = residentNow();
    playEveryPosition(first);
    m.firstPlayed = residentNow() - before;

    before = residentNow();
    BundleRoom second(module, Workload::kSampleRate, Workload::kHostBlock);
    m.secondCreated = residentNow() - before;

    before = residentNow();
    playEveryPosition(second);
    m.secondPlayed = residentNow() - before;
    return m;
}

} // namespace bench
