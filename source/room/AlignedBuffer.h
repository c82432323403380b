// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <memory>
#include <new>
#include <type_traits>

// A zeroed array of T on the alignment FFTW's vector code wants, so that one plan can run on
// every buffer of its size. Allocated once, off the audio thread.
void* allocateSimdAligned(size_t bytes);
void freeSimdAligned(void* p);

template <class T> class CAlignedBuffer
{
    // The storage is freed without running destructors.
    static_assert(std::is_trivially_destructible<T>::value, "plain values only");

public:
    explicit CAlignedBuffer(size_t count)
        : elements(count), storage(static_cast<T*>(allocateSimdAligned(count * sizeof(T))))
    {
        if (!storage) throw std::bad_alloc();
        for (size_t i = 0; i < count; ++i)
            new (storage.get() + i) T();
    }

    T* data() { return storage.get(); }
    const T* data() const { return storage.get(); }
    T& operator[](size_t i) { return storage.get()[i]; }
    const T& operator[](size_t i) const { return storage.get()[i]; }
    size_t size() const { return elements; }

private:
    struct Free
    {
        void operator()(T* p) const { freeSimdAligned(p); }
    };
    size_t elements;
    std::unique_ptr<T[], Free> storage;
};
