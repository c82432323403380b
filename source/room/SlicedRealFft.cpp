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
    for (int s = 0; s < steps(); ++s)
        forwardStep(s, samples, bins);
}

void CSlicedRealFft::forwardStep(int step, const double* samples, Complex* bins)
{
    if (!pieces)
    {
        whole->forwardPadded(samples, bins);
        return;
    }
    if (step == 0) sliced->startForward(samples, bins);
    sliced->advanceToShare(static_cast<double>(step + 1) / kSliceSteps);
}
