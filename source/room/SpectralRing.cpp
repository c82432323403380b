#include "SpectralRing.h"

#include <cstddef>

CSpectralRing::CSpectralRing(int size, int block)
    : irBins(static_cast<size_t>(size)), inputBins(static_cast<size_t>(size)), ringSize(size),
      blockSize(block)
{
}

void CSpectralRing::accumulate(int index, Complex inputBin, Complex irBin)
{
    const int mask = ringSize - 1;
    const int bin = index & (blockSize - 1);
    inputBins[index & mask] = inputBin;
    irBins[index & mask] = irBin;

    const Complex* in = inputBins.data();
    const Complex* ir = irBins.data();
    Complex s;
    int inputAt = index + ringSize;
    int irAt = bin + blockSize;
    if (bin == 0)
    {
        for (int k = 0; k < ringSize / blockSize; ++k)
        {
            const Complex u = in[inputAt & mask];
            const Complex h = ir[irAt & mask];
            s.re += u.re * h.re;
            s.im += u.im * h.im;
            inputAt -= blockSize;
            irAt += blockSize;
        }
    }
    else
    {
        for (int k = 0; k < ringSize / blockSize; ++k)
        {
            const Complex u = in[inputAt & mask];
            const Complex h = ir[irAt & mask];
            s.re += u.re * h.re - u.im * h.im;
            s.im += u.re * h.im + u.im * h.re;
            inputAt -= blockSize;
            irAt += blockSize;
        }
    }
    sum = s;
}
