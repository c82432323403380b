// SPDX-License-Identifier: GPL-3.0-or-later
#include "Timing.h"

#include "FftwConvolver.h"
#include "RoomUnderTest.h"
#include "Workload.h"
#include "ZitaPair.h"

#include "room/PartitionedConvolver.h"
#include "room/ResponseSet.h"

#include <memory>
#include <vector>

namespace bench
{
namespace
{
struct StereoBuffer
{
    explicit StereoBuffer(int frames) : left(frames), right(frames) {}
    std::vector<float> left;
    std::vector<float> right;
    float* out[2] = {left.data(), right.data()};
};
} // namespace

Contender roomContender(const Workload& workload, RoomUnderTest& room, Absorption absorption,
                        int frames)
{
    auto buffer = std::make_shared<StereoBuffer>(frames);
    // The value re-sent is the one the room starts from, set once before the warm-up.
    constexpr double kResentValue = 0.5;
    if (absorption == Absorption::kResent) room.setAbsorption(kResentValue);
    return {frames, [&workload, &room, absorption, frames, buffer](long block)
            {
                const long frame = block * frames;
                if (absorption == Absorption::kMoving)
                    room.setAbsorption(Workload::automation(block));
                else if (absorption == Absorption::kResent)
                    room.setAbsorption(kResentValue);
                const float* const in[2] = {workload.left(frame), workload.right(frame)};
                room.process(in, buffer->out, frames);
            }};
}

Contender zitaContender(const Workload& workload, ZitaPair& zita)
{
    const int frames = zita.quantum();
    auto buffer = std::make_shared<StereoBuffer>(frames);
    return {frames, [&workload, &zita, frames, buffer](long block)
            {
                const long frame = block * frames;
                const float* const in[2] = {workload.left(frame), workload.right(frame)};
                zita.process(in, buffer->out);
            }};
}

Contender fftwContender(const Workload& workload, FftwConvolver& left, FftwConvolver& right)
{
    const int frames = left.partitionSize();
    auto buffer = std::make_shared<StereoBuffer>(frames);
    return {frames, [&workload, &left, &right, frames, buffer](long block)
            {
                const long frame = block * frames;
                left.process(workload.left(frame), buffer->left.data());
                right.process(workload.right(frame), buffer->right.data());
            }};
}

Contender stageContender(const Workload& workload, StageShape shape, Absorption absorption,
                         double absorptionTop)
{
    constexpr int kFrames = Workload::kHostBlock;
    const int rate = static_cast<int>(Workload::kSampleRate);
    std::shared_ptr<const CResponseSet> set = CResponseSet::forRate(rate, shape.responseLength);
    std::shared_ptr<CPartitionedConvolver> ears[2];
    for (int ear = 0; ear < 2; ++ear)
    {
        ears[ear] = std::make_shared<CPartitionedConvolver>(
            0, rate, ear, shape.responseLength, shape.segmentLength, shape.blockSize,
            shape.segmentStart, shape.outputLag);
        ears[ear]->useResponseSet(set.get());
        ears[ear]->loadPosition(0);
        ears[ear]->setAllDecays(7.0, 7.0, 7.0, rate, 1);
        ears[ear]->setGains(1.0, 1.0, 1.0);
    }
    auto buffer = std::make_shared<StereoBuffer>(kFrames);
    // The lambda holds the set: the convolvers read it in place.
    const bool moving = absorption == Absorption::kMoving;
    return {kFrames, [&workload, left = ears[0], right = ears[1], set, buffer, rate, moving,
                      absorptionTop](long block)
            {
                const long frame = block * kFrames;
                const float* in[2] = {workload.left(frame), workload.right(frame)};
                CPartitionedConvolver* stage[2] = {left.get(), right.get()};
                if (moving)
                    for (CPartitionedConvolver* ear : stage)
                        ear->setDecayLR(absorptionTop * Workload::automation(block), rate, 1);
                for (int ear = 0; ear < 2; ++ear)
                    for (int i = 0; i < kFrames; ++i)
                    {
                        stage[ear]->process(in[ear][i]);
                        buffer->out[ear][i] = static_cast<float>(stage[ear]->output());
                    }
            }};
}

} // namespace bench
