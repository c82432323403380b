#pragma once

#include "Complex.h"

#include <vector>

// Frequency-domain delay line of a partitioned convolver: P slots of N bins each, holding
// input spectra and response spectra. Writing one bin returns, through result(), that bin
// of the sum over all partitions of (input block m-1-k) x (partition k).
class CSpectralRing
{
public:
    // ringSize = P * N, a power of two.
    CSpectralRing(int ringSize, int blockSize);

    // Bin 0 of a slot carries (DC, Nyquist), both real, and is multiplied part by part.
    void accumulate(int index, Complex inputBin, Complex irBin);
    Complex result() const { return sum; }

private:
    std::vector<Complex> irBins;
    std::vector<Complex> inputBins;
    Complex sum;
    int ringSize;
    int blockSize;
};
