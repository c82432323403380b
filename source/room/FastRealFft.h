// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AlignedBuffer.h"
#include "Complex.h"

// Real FFT of 2N points on FFTW's plans, in one call per direction: several times faster than
// the incremental RFFT family, for a caller that can place each transform where it costs least
// rather than slice it. Plans are made once per size and process and shared; making one takes
// a lock (constructor only), running one does not.
class CFastRealFft
{
public:
    // realSize = 2N, a power of two, at least 4.
    explicit CFastRealFft(int realSize);

    int size() const { return realSize; }
    // samples: 2N reals; bins: N + 1 values, bin 0 and bin N real. Buffers must come from
    // CAlignedBuffer.
    void forward(const double* samples, Complex* bins) const;
    // bins: N + 1 values, overwritten; samples: 2N reals, unscaled (2N times the signal).
    void inverse(Complex* bins, double* samples) const;

private:
    struct Plans;
    static const Plans& plansFor(int realSize);

    int realSize;
    const Plans& plans;
};
