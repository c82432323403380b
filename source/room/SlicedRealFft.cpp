// SPDX-License-Identifier: GPL-3.0-or-later
#include "SlicedRealFft.h"

CSlicedRealFft::CSlicedRealFft(int size, int width)
    : realSize(size), rowWidth(width), pieces(size > kWholeUpTo)
{
    if (!pieces)
    {
        whole = std::make_unique<CWholeRealFft>(size);
        return;
    }
    sliced = std::make_unique<CSteppedRealFft>(size, kOneCallUpTo);
}

void CSlicedRealFft::forward(const double* samples, float* rows)
{
    float* in = input();
    for (int i = 0; i < realSize / 2; ++i)
        in[i] = static_cast<float>(samples[i]);
    for (int s = 0; s < steps(); ++s)
        forwardStep(s, rows);
}

void CSlicedRealFft::forwardStep(int step, float* rows)
{
    if (!pieces)
    {
        whole->forwardFromInputToRows(rows, rowWidth);
        return;
    }
    if (step == 0) sliced->startForwardToRows(rows, rowWidth);
    sliced->advanceToShare(static_cast<double>(step + 1) / kSliceSteps);
}
