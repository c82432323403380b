// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the vector loops of the room's DSP share. Their helpers take GCC vector types by
// reference and return them by value, and must be inlined even without optimisation: a
// target clone (AVX and up) and a baseline helper disagree on how a 32- or 64-byte vector is
// passed, which GCC's -Wpsabi warns about and a debug build turns into a crash.
#pragma GCC diagnostic ignored "-Wpsabi"
#define HALVANE_VECTOR_HELPER inline __attribute__((always_inline))

// A loop's AVX-512, AVX2 and baseline versions, the best one chosen when the module loads.
#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__) && defined(__ELF__) &&         \
    !defined(HALVANE_NO_FUNCTION_CLONES)
#define HALVANE_WIDE_CLONES __attribute__((target_clones("avx512f", "avx2", "default")))
#else
#define HALVANE_WIDE_CLONES
#endif

// A vector from the elements at p, which need no alignment.
template <class Vector, class Element>
HALVANE_VECTOR_HELPER Vector loadVector(const Element* p)
{
    Vector v;
    __builtin_memcpy(&v, p, sizeof v);
    return v;
}

template <class Vector, class Element>
HALVANE_VECTOR_HELPER void storeVector(Element* p, const Vector& v)
{
    __builtin_memcpy(static_cast<void*>(p), &v, sizeof v);
}
