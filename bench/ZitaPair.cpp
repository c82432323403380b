// SPDX-License-Identifier: GPL-3.0-or-later
#include "ZitaPair.h"

#include <zita-convolver.h>

#include <algorithm>
#include <chrono>
#include <sched.h>
#include <stdexcept>
#include <string>
#include <thread>

namespace bench
{

ZitaPair::ZitaPair(const std::vector<double>& left, const std::vector<double>& right, int quantum,
                   int maxPart, unsigned options)
    : convolver(std::make_unique<Convproc>()), frames(quantum)
{
    const std::vector<double>* responses[2] = {&left, &right};
    const auto length = static_cast<uint32_t>(std::max(left.size(), right.size()));
    convolver->set_options(options);
    // Two of the four input/output pairs carry a response.
    if (int error = convolver->configure(2, 2, length, quantum, quantum, maxPart, 0.5f))
        throw std::runtime_error("zita-convolver configure failed (" + std::to_string(error) + ")");
    for (uint32_t c = 0; c < 2; ++c)
    {
        std::vector<float> taps(responses[c]->begin(), responses[c]->end());
        convolver->impdata_create(c, c, 1, taps.data(), 0, static_cast<int>(taps.size()));
    }
    // Ordinary scheduling: real-time priority needs privileges a benchmark should not need.
    if (int error = convolver->start_process(0, SCHED_OTHER))
        throw std::runtime_error("zita-convolver start failed (" + std::to_string(error) + ")");
}

ZitaPair::~ZitaPair()
{
    convolver->stop_process();
    while (!convolver->check_stop())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    convolver->cleanup();
}

void ZitaPair::process(const float* const in[2], float* const out[2])
{
    for (int c = 0; c < 2; ++c)
        std::copy(in[c], in[c] + frames, convolver->inpdata(c));
    convolver->process(true);
    for (int c = 0; c < 2; ++c)
    {
        const float* result = convolver->outdata(c);
        std::copy(result, result + frames, out[c]);
    }
}

} // namespace bench
