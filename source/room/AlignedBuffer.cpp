// SPDX-License-Identifier: GPL-3.0-or-later
#include "AlignedBuffer.h"

#include <fftw3.h>

void* allocateSimdAligned(size_t bytes)
{
    return fftw_malloc(bytes > 0 ? bytes : 1);
}

void freeSimdAligned(void* p)
{
    fftw_free(p);
}
