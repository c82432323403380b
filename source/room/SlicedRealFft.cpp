// SPDX-License-Identifier: GPL-3.0-or-later
#include "SlicedRealFft.h"

#include <algorithm>
#include <limits>

CSlicedRealFft::CSlicedRealFft(int size) : realSize(size), pieces(size > kWholeUpTo)
{
    if (!pieces)
    {
        whole = std::make_unique<CWholeRealFft>(size);
        return;
    }
    sliced = std::make_unique<ARFFT>(size);
    // The last step finishes whatever the others left.
    budget = (sliced->forwardItems(true) + kSliceSteps - 2) / (kSliceSteps - 1);
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
    // Only bins 0..N are wanted: the mirrored upper half is skipped.
    if (step == 0) sliced->startForward(samples, false, true);
    if (step + 1 < kSliceSteps)
    {
        sliced->advanceForward(budget);
        return;
    }
    sliced->advanceForward(std::numeric_limits<int>::max());
    const Complex* result = sliced->forwardBins();
    std::copy(result, result + realSize / 2 + 1, bins);
}
