// The one place the Win32 layer includes <windows.h>, trimmed to what it
// needs and without the min/max macros that break std::min and friends; every
// other file of the layer includes this header instead. Also: UTF-8/UTF-16
// conversion for the wide functions, and RAII holders for Win32 handles so an
// early return cannot leak one.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <string>

namespace glyphoria::platform::win32 {

// UTF-8 to UTF-16 for the wide functions; invalid bytes become U+FFFD. A null
// text gives the empty string.
std::wstring Widen(const char* utf8);
// UTF-16 (len < 0: up to the NUL) to UTF-8; unpaired surrogates become U+FFFD.
std::string Narrow(const wchar_t* text, int len = -1);
// The full path of a loaded module (null: the program's own file), however
// long; "" when the system does not know it.
std::wstring ModulePath(HMODULE module);

// Owns one handle of type T and closes it with Close; Invalid is the value
// that means "none". Functions that report failure as INVALID_HANDLE_VALUE
// (CreateFileW, ...) go through NullIfInvalid first.
template <typename T, auto Close, T Invalid = T()>
class Scoped {
  public:
    Scoped() = default;
    explicit Scoped(T handle) : handle_(handle) {}
    ~Scoped() { reset(); }
    Scoped(const Scoped&) = delete;
    Scoped& operator=(const Scoped&) = delete;
    Scoped(Scoped&& other) noexcept : handle_(other.release()) {}
    Scoped& operator=(Scoped&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }

    T get() const { return handle_; }
    explicit operator bool() const { return handle_ != Invalid; }
    // For out parameters: closes the current handle and hands out the slot.
    T* receive() {
        reset();
        return &handle_;
    }
    T release() {
        T handle = handle_;
        handle_ = Invalid;
        return handle;
    }
    void reset(T handle = Invalid) {
        if (handle_ != Invalid) Close(handle_);
        handle_ = handle;
    }

  private:
    T handle_ = Invalid;
};

inline HANDLE NullIfInvalid(HANDLE handle) {
    return handle == INVALID_HANDLE_VALUE ? nullptr : handle;
}

// Memory that FormatMessage (FORMAT_MESSAGE_ALLOCATE_BUFFER) hands out.
using ScopedLocal = Scoped<HLOCAL, LocalFree>;
// Kernel objects (files, events, processes).
using ScopedHandle = Scoped<HANDLE, CloseHandle>;
// A module that LoadLibrary loaded.
using ScopedModule = Scoped<HMODULE, FreeLibrary>;

}  // namespace glyphoria::platform::win32
