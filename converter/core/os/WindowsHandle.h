#pragma once

// Windows only: the owner of every handle that no C runtime descriptor
// wraps, for the core's file calls and the command line's watchers alike.
#include <utility>
#include <windows.h>

namespace win {

// Closes its handle on every way out. A failed call's answer, null or
// INVALID_HANDLE_VALUE as the call has it, is no handle.
template <BOOL(WINAPI* close)(HANDLE)>
class Owned {
public:
    Owned() = default;
    explicit Owned(HANDLE handle) : m_handle(handle == INVALID_HANDLE_VALUE ? nullptr : handle) {}
    Owned(Owned&& other) noexcept : m_handle(std::exchange(other.m_handle, nullptr)) {}
    Owned& operator=(Owned&& other) noexcept
    {
        reset();
        m_handle = std::exchange(other.m_handle, nullptr);
        return *this;
    }
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;
    ~Owned() { reset(); }

    explicit operator bool() const { return m_handle != nullptr; }
    HANDLE get() const { return m_handle; }
    void reset()
    {
        if (m_handle)
            close(m_handle);
        m_handle = nullptr;
    }

private:
    HANDLE m_handle = nullptr;
};

using Handle = Owned<CloseHandle>;

} // namespace win
