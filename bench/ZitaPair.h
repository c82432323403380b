// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <vector>

class Convproc;

namespace bench
{

// Two independent convolutions (input 0 to output 0, input 1 to output 1) on Debian's
// zita-convolver, run synchronously: every process() call waits for the partition levels
// that zita runs on its own threads.
class ZitaPair
{
public:
    // maxPart: zita's largest partition; options: Convproc::OPT_* bits.
    ZitaPair(const std::vector<double>& left, const std::vector<double>& right, int quantum,
             int maxPart, unsigned options);
    ~ZitaPair();
    ZitaPair(const ZitaPair&) = delete;
    ZitaPair& operator=(const ZitaPair&) = delete;

    // Exactly one quantum of frames.
    void process(const float* const in[2], float* const out[2]);
    int quantum() const { return frames; }

private:
    std::unique_ptr<Convproc> convolver;
    int frames;
};

} // namespace bench
