#include "Agreement.h"

#include "FftwConvolver.h"
#include "RoomUnderTest.h"
#include "Workload.h"
#include "ZitaPair.h"

#include <cmath>

namespace bench
{
namespace
{
template <class Process> StereoOutput renderBlocks(long frames, int block, Process&& process)
{
    StereoOutput out{std::vector<float>(frames), std::vector<float>(frames)};
    for (long frame = 0; frame + block <= frames; frame += block)
        process(frame, out.left.data() + frame, out.right.data() + frame);
    return out;
}
} // namespace

StereoOutput render(const Workload& workload, RoomUnderTest& room, long frames)
{
    return renderBlocks(
        frames, Workload::kHostBlock,
        [&](long frame, float* left, float* right)
        {
            const float* const in[2] = {workload.left(frame), workload.right(frame)};
            float* const out[2] = {left, right};
            room.process(in, out, Workload::kHostBlock);
        });
}

StereoOutput render(const Workload& workload, ZitaPair& zita, long frames)
{
    return renderBlocks(
        frames, zita.quantum(),
        [&](long frame, float* left, float* right)
        {
            const float* const in[2] = {workload.left(frame), workload.right(frame)};
            float* const out[2] = {left, right};
            zita.process(in, out);
        });
}

StereoOutput render(const Workload& workload, FftwConvolver& left, FftwConvolver& right,
                    long frames)
{
    return renderBlocks(frames, left.partitionSize(),
                        [&](long frame, float* outLeft, float* outRight)
                        {
                            left.process(workload.left(frame), outLeft);
                            right.process(workload.right(frame), outRight);
                        });
}

double relativeDifference(const StereoOutput& output, const StereoOutput& reference, double gain,
                          int delay)
{
    double error = 0.0;
    double energy = 0.0;
    const std::vector<float>* outs[2] = {&output.left, &output.right};
    const std::vector<float>* refs[2] = {&reference.left, &reference.right};
    for (int c = 0; c < 2; ++c)
    {
        const auto& out = *outs[c];
        const auto& ref = *refs[c];
        for (size_t n = 0; n < out.size() && n < ref.size() + delay; ++n)
        {
            const double expected = n >= static_cast<size_t>(delay) ? gain * ref[n - delay] : 0.0;
            error += (out[n] - expected) * (out[n] - expected);
            energy += expected * expected;
        }
    }
    return energy > 0.0 ? std::sqrt(error / energy) : INFINITY;
}

} // namespace bench
