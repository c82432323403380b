// SPDX-License-Identifier: GPL-3.0-or-later
#include "SlicedRealFft.h"

CSlicedRealFft::CSlicedRealFft(int size) : realSize(size), pieces(size > kWholeUpTo)
{
    if (!pieces)
    {
        whole = std::make_unique<CWholeRealFft>(size);
        return;
    }
    sliced = std::make_unique<CFourStepRealFft>(size);
}

void CSlicedRealFft::forward(const double* samples, Complex* bins)
{
    float* in = input();
    for (int i = 0; i < realSize / 2; ++i)
        in[i] = static_cast<float>(samples[i]);
    for (int s = 0; s < steps(); ++s)
        forwardStep(s, bins);
}

void CSlicedRealFft::forwardStep(int step, Complex* bins)
{
    if (!pieces)
    {
        whole->forwardFromInput(bins);
        return;
    }
    if (step == 0) sliced->startForwardFromInput(bins);
    sliced->advanceToShare(static_cast<double>(step + 1) / kSliceSteps);
}
