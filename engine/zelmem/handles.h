// 16-bit memory handles: value types naming a block in this library's
// handle table. Every get() asks the table again because blocks may move
// between calls; 65535 is the null handle and 0 is never valid.
#pragma once

#include <cstdint>
#include <type_traits>

#include "engine/zelmem/zelmem.h"

// What the three handle templates share: the number and every operation but
// the typed get().
class ZelHandle {
public:
    static constexpr unsigned short Null = ZelMemHandles::NullHandle;

    unsigned short value;

    constexpr ZelHandle() : value(Null) {}
    // A number becomes a handle only when asked for by name.
    constexpr explicit ZelHandle(unsigned short v) : value(v) {}

    bool operator==(const ZelHandle&) const = default;

    bool isNull() const { return value == Null; }

    void* getRaw() const { return value == Null ? nullptr : ZelMemHandles::GetPtr(value); }

    bool resolves() const { return value != Null && getRaw() != nullptr; }

    bool isValid() const
    {
        return value != Null && value != 0 && value <= ZelMemHandles::Handles.count;
    }

    bool isPresent() const
    {
        if (!isValid())
            return false;
        uint32_t word = ZelMemHandles::Handles.entry[value - 1];
        return word != 0 && (word & ZelMemEntryAbsent) == 0;
    }

    // Allocates a table block of n bytes. A handle that still holds a block is
    // a programming error: the debugger is called and the old block freed.
    signed char alloc(unsigned n)
    {
        if (isValid()) {
            ZelMem::CallDebugger();
            release();
        }
        if (n == 0)
            return 0;
        ZelMemHandles::MallocPtr(value, n);
        return -1;
    }

    void resize(unsigned n)
    {
        if (!isValid())
            alloc(n);
        else if (n == 0)
            release();
        else
            ZelMemHandles::ReallocPtr(value, n);
    }

    signed char release()
    {
        if (!isValid()) {
            value = Null;
            return 0;
        }
        ZelMemHandles::FreePtr(value);
        ZelMemHandles::RemoveHandle(value);
        return -1;
    }

    void adopt(const void* p) { value = p ? ZelMemHandles::AddPtr(p) : Null; }

};

// Frees a temporary-heap block or object: an object with a virtual destructor
// goes through it (its operator delete returns the memory to the heap).
template <class T> void zelFreeObject(void* p)
{
    if (!p)
        return;
    if constexpr (std::has_virtual_destructor_v<T>)
        delete static_cast<T*>(p);
    else
        ZelMEMTmp::Free(p);
}

// Shared by HClass, HSimple and HAny: only the pointer type of get() differs.
template <class T> class ZelTypedHandle : public ZelHandle {
public:
    constexpr ZelTypedHandle() = default;
    constexpr explicit ZelTypedHandle(unsigned short v) : ZelHandle(v) {}
    // A handle of another type is taken over only when asked for by name.
    constexpr explicit ZelTypedHandle(const ZelHandle& other) : ZelHandle(other.value) {}

    T* get() const { return static_cast<T*>(getRaw()); }

    // Frees a temporary-heap block or object and makes the handle null. The
    // entry is detached first, so the table never names a freed block.
    void destroy()
    {
        if (this->isValid()) {
            unsigned short copy = this->value;
            T* p = get();
            ZelMemHandles::SetPtr(this->value, nullptr);
            zelFreeObject<T>(p);
            ZelMemHandles::RemoveHandle(copy);
        }
        this->value = Null;
    }
};

// Handle of a record or object. Handles of a class and of a class derived
// from it name the same record (HClass<Bitmap> and HClass<ZelBitmap>) and
// convert into each other; any other conversion is explicit.
template <class T> class HClass : public ZelTypedHandle<T> {
public:
    using ZelTypedHandle<T>::ZelTypedHandle;
    template <class U>
        requires(std::is_base_of_v<T, U> || std::is_base_of_v<U, T>)
    constexpr HClass(const HClass<U>& other) : ZelTypedHandle<T>(other.value)
    {
    }
    T* operator->() const { return this->get(); }
};

// Handle of a plain array of T.
template <class T> class HSimple : public ZelTypedHandle<T> {
public:
    using ZelTypedHandle<T>::ZelTypedHandle;
    T& operator[](int i) const { return this->get()[i]; }
};

// Untyped handle, as taken by the memory library's block attributes: every
// handle converts to it.
template <class T> class HAny : public ZelTypedHandle<T> {
public:
    using ZelTypedHandle<T>::ZelTypedHandle;
    template <class U> constexpr HAny(const ZelTypedHandle<U>& other) : ZelTypedHandle<T>(other.value) {}
};

// A handle in a 32-bit slot (arrays of handles, a clip region's next): only
// the low 16 bits carry the handle; the upper half means nothing.
template <class H> struct HandleSlot {
    H handle;
    uint16_t unused;
};

static_assert(sizeof(HClass<int>) == 2 && std::is_trivially_copyable_v<HClass<int>>);
static_assert(sizeof(HandleSlot<HClass<int>>) == 4);
