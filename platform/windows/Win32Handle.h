// SPDX-License-Identifier: GPL-3.0-or-later
// Closes a Win32 file handle or search handle when it goes out of scope.
#pragma once

#include <windows.h>

#include <utility>

namespace quillmere::platform::windows {

template <BOOL(WINAPI* Close)(HANDLE)> class Win32Handle {
public:
    explicit Win32Handle(HANDLE handle) : handle_(handle) {}
    Win32Handle(Win32Handle&& other) noexcept : handle_(std::exchange(other.handle_, INVALID_HANDLE_VALUE)) {}
    Win32Handle(const Win32Handle&) = delete;
    Win32Handle& operator=(const Win32Handle&) = delete;
    Win32Handle& operator=(Win32Handle&& other) noexcept {
        if (this != &other) {
            reset();
            handle_ = std::exchange(other.handle_, INVALID_HANDLE_VALUE);
        }
        return *this;
    }
    ~Win32Handle() { reset(); }

    bool valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
    HANDLE get() const { return handle_; }
    // Closes now, e.g. so that the file can be renamed; true when the close succeeded.
    bool reset() { return !valid() || Close(std::exchange(handle_, INVALID_HANDLE_VALUE)) != 0; }

private:
    HANDLE handle_;
};

using FileHandle = Win32Handle<CloseHandle>;
using SearchHandle = Win32Handle<FindClose>;

} // namespace quillmere::platform::windows
