// Owners of what Windows hands out: each releases its object when it goes out of scope,
// through os:: so that the simulated Windows of the tests sees every release. Copies
// would release twice and are deleted; moves hand the object on.
#pragma once

#include "platform/Win.h"

#include <cstddef>
#include <utility>

namespace detail {

// The shared shape: a value, the value that means "none", and how to release it.
template <class T, class Traits>
class Owner {
public:
    Owner() = default;
    explicit Owner(T value) : value_(value) {}
    Owner(const Owner&) = delete;
    Owner& operator=(const Owner&) = delete;
    Owner(Owner&& other) noexcept : value_(other.Release()) {}
    Owner& operator=(Owner&& other) noexcept
    {
        if (this != &other)
            Reset(other.Release());
        return *this;
    }
    ~Owner() { Reset(); }

    T Get() const { return value_; }
    explicit operator bool() const { return Traits::IsValid(value_); }

    // Gives the object up without releasing it.
    T Release()
    {
        T value = value_;
        value_ = Traits::None();
        return value;
    }
    void Reset(T value = Traits::None())
    {
        if (Traits::IsValid(value_))
            Traits::Free(value_);
        value_ = value;
    }
    // For functions that return the object through a pointer; whatever was held is released.
    T* Receive()
    {
        Reset();
        return &value_;
    }

private:
    T value_ = Traits::None();
};

struct HandleTraits {
    static HANDLE None() { return nullptr; }
    // Files say "none" with INVALID_HANDLE_VALUE, tokens and most others with null.
    static bool IsValid(HANDLE h) { return h && h != INVALID_HANDLE_VALUE; }
    static void Free(HANDLE h) { os::CloseHandle(h); }
};

struct LibraryTraits {
    static HMODULE None() { return nullptr; }
    static bool IsValid(HMODULE m) { return m != nullptr; }
    static void Free(HMODULE m) { os::FreeLibrary(m); }
};

struct LocalTraits {
    static char* None() { return nullptr; }
    static bool IsValid(char* p) { return p != nullptr; }
    static void Free(char* p) { os::LocalFree(p); }
};

}  // namespace detail

// A kernel object handle (file, token): CloseHandle.
using ScopedHandle = detail::Owner<HANDLE, detail::HandleTraits>;
// A loaded library: FreeLibrary.
using ScopedLibrary = detail::Owner<HMODULE, detail::LibraryTraits>;
// Text that Windows allocated with LocalAlloc (FormatMessage's ALLOCATE_BUFFER): LocalFree.
using ScopedLocalText = detail::Owner<char*, detail::LocalTraits>;

// A zero-filled block from the C heap, for buffers whose size comes from outside (a
// file's header, a version resource). Allocation failure is an answer, not an abort.
class HeapBuffer {
public:
    HeapBuffer() = default;
    HeapBuffer(const HeapBuffer&) = delete;
    HeapBuffer& operator=(const HeapBuffer&) = delete;
    HeapBuffer(HeapBuffer&& other) noexcept
        : data_(std::exchange(other.data_, nullptr)), size_(std::exchange(other.size_, 0))
    {
    }
    HeapBuffer& operator=(HeapBuffer&& other) noexcept;
    ~HeapBuffer() { Free(); }

    // Replaces what was held by `size` zero bytes; false (and empty) when there is no memory.
    bool Allocate(std::size_t size);
    void Free();

    unsigned char* Get() const { return data_; }
    std::size_t Size() const { return size_; }

private:
    unsigned char* data_ = nullptr;
    std::size_t size_ = 0;
};

// A timer of a window: KillTimer when it goes, if SetTimer gave one. Without a window
// there is no timer (a thread timer would only pile up unhandled messages).
class ScopedTimer {
public:
    ScopedTimer() = default;
    ScopedTimer(HWND window, UINT_PTR id, UINT interval) { Start(window, id, interval); }
    ScopedTimer(const ScopedTimer&) = delete;
    ScopedTimer& operator=(const ScopedTimer&) = delete;
    ~ScopedTimer() { Stop(); }

    // A window's timer; no window, no timer.
    void Start(HWND window, UINT_PTR id, UINT interval)
    {
        Stop();
        window_ = window;
        id_ = window ? os::SetTimer(window, id, interval, nullptr) : 0;
    }
    void Stop()
    {
        if (id_)
            os::KillTimer(window_, id_);
        id_ = 0;
    }

private:
    HWND window_ = nullptr;
    UINT_PTR id_ = 0;
};
