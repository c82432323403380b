#include "Timing.h"

#include "FftwConvolver.h"
#include "RoomUnderTest.h"
#include "Workload.h"
#include "ZitaPair.h"

#include <vector>

namespace bench
{

RunResult timeRoom(const Workload& workload, RoomUnderTest& room, bool automated)
{
    constexpr int kFrames = Workload::kHostBlock;
    std::vector<float> left(kFrames), right(kFrames);
    float* const out[2] = {left.data(), right.data()};
    return workload.runner(kFrames).run(
        [&](long block)
        {
            const long frame = block * kFrames;
            if (automated) room.setAbsorption(Workload::automation(block));
            const float* const in[2] = {workload.left(frame), workload.right(frame)};
            room.process(in, out, kFrames);
        });
}

RunResult timeZita(const Workload& workload, ZitaPair& zita)
{
    const int frames = zita.quantum();
    std::vector<float> left(frames), right(frames);
    float* const out[2] = {left.data(), right.data()};
    return workload.runner(frames).run(
        [&](long block)
        {
            const long frame = block * frames;
            const float* const in[2] = {workload.left(frame), workload.right(frame)};
            zita.process(in, out);
        });
}

RunResult timeFftw(const Workload& workload, FftwConvolver& left, FftwConvolver& right)
{
    const int frames = left.partitionSize();
    std::vector<float> outLeft(frames), outRight(frames);
    return workload.runner(frames).run(
        [&](long block)
        {
            const long frame = block * frames;
            left.process(workload.left(frame), outLeft.data());
            right.process(workload.right(frame), outRight.data());
        });
}

} // namespace bench
