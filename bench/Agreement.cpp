// SPDX-License-Identifier: GPL-3.0-or-later
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
// Where a unit impulse comes out, or -1. FFT convolvers leave rounding noise around the
// zeros, so the impulse is the first sample near 1, not the first one above 0.
int impulseAt(const std::vector<float>& samples)
{
    for (size_t n = 0; n < samples.size(); ++n)
        if (std::fabs(samples[n]) > 0.5f) return static_cast<int>(n);
    return -1;
}

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

int zitaLatency(int responseLength, int quantum, int maxPart, unsigned options)
{
    std::vector<double> unit(static_cast<size_t>(responseLength), 0.0);
    unit[0] = 1.0;
    ZitaPair zita(unit, unit, quantum, maxPart, options);
    // A whole response's worth of blocks: zita's threads for the long partitions must have
    // run before it is stopped, or stopping it early crashes them.
    const long frames = (responseLength + quantum - 1) / quantum * quantum + 2L * maxPart;
    std::vector<float> impulse(static_cast<size_t>(frames), 0.0f);
    impulse[0] = 1.0f;
    const StereoOutput out = renderBlocks(frames, quantum,
                                          [&](long frame, float* left, float* right)
                                          {
                                              const float* const in[2] = {impulse.data() + frame,
                                                                          impulse.data() + frame};
                                              float* const outs[2] = {left, right};
                                              zita.process(in, outs);
                                          });
    return impulseAt(out.left);
}

int fftwLatency(int responseLength, int partitionSize)
{
    std::vector<double> unit(static_cast<size_t>(responseLength), 0.0);
    unit[0] = 1.0;
    FftwConvolver convolver(unit.data(), responseLength, partitionSize);
    const long frames = 4L * partitionSize;
    std::vector<float> impulse(static_cast<size_t>(frames), 0.0f);
    impulse[0] = 1.0f;
    std::vector<float> out(static_cast<size_t>(frames));
    for (long frame = 0; frame < frames; frame += partitionSize)
        convolver.process(impulse.data() + frame, out.data() + frame);
    return impulseAt(out);
}

double relativeDifference(const StereoOutput& output, const StereoOutput& reference, double gain,
                          int delay, long from)
{
    double error = 0.0;
    double energy = 0.0;
    const std::vector<float>* outs[2] = {&output.left, &output.right};
    const std::vector<float>* refs[2] = {&reference.left, &reference.right};
    for (int c = 0; c < 2; ++c)
    {
        const auto& out = *outs[c];
        const auto& ref = *refs[c];
        for (size_t n = static_cast<size_t>(from); n < out.size() && n < ref.size() + delay; ++n)
        {
            const double expected = n >= static_cast<size_t>(delay) ? gain * ref[n - delay] : 0.0;
            error += (out[n] - expected) * (out[n] - expected);
            energy += expected * expected;
        }
    }
    return energy > 0.0 ? std::sqrt(error / energy) : INFINITY;
}

} // namespace bench
