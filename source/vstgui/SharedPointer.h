// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <utility>

namespace VSTGUI
{

// Holds one reference of a CBaseObject.
template <class T>
class SharedPointer
{
public:
    SharedPointer() = default;
    // Takes a new reference; use adopt() for an object whose creation reference is handed over.
    SharedPointer(T* object) : object(object)
    {
        if (object)
            object->remember();
    }
    SharedPointer(const SharedPointer& other) : SharedPointer(other.object) {}
    SharedPointer(SharedPointer&& other) noexcept : object(std::exchange(other.object, nullptr)) {}
    ~SharedPointer() { reset(); }

    SharedPointer& operator=(const SharedPointer& other)
    {
        SharedPointer copy(other);
        std::swap(object, copy.object);
        return *this;
    }
    SharedPointer& operator=(SharedPointer&& other) noexcept
    {
        std::swap(object, other.object);
        return *this;
    }
    SharedPointer& operator=(T* other) { return *this = SharedPointer(other); }

    static SharedPointer adopt(T* object)
    {
        SharedPointer p;
        p.object = object;
        return p;
    }

    void reset()
    {
        if (object)
            std::exchange(object, nullptr)->forget();
    }

    T* get() const { return object; }
    T* operator->() const { return object; }
    T& operator*() const { return *object; }
    explicit operator bool() const { return object != nullptr; }
    operator T*() const { return object; }

private:
    T* object = nullptr;
};

template <class T, class... Args>
SharedPointer<T> makeOwned(Args&&... args)
{
    return SharedPointer<T>::adopt(new T(std::forward<Args>(args)...));
}

} // namespace VSTGUI
