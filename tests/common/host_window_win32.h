// A host's main window with one of its palettes (a pop-up the window owns)
// in front, as the desktop is when the plug-in's idle task looks for the host
// window. Windows only; for tests that hold CTest's desktop lock, so nothing
// else takes the front meanwhile. Both windows go with the object.
#pragma once

#include "platform/win32/windows_api.h"

namespace glyphoria::testing {

struct HostWindowWithPalette {
    HostWindowWithPalette() {
        host = CreateWindowExW(0, L"STATIC", L"Host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400,
                               300, nullptr, nullptr, nullptr, nullptr);
        if (host)
            palette = CreateWindowExW(0, L"STATIC", L"Palette", WS_POPUP | WS_VISIBLE, 10, 10, 80,
                                      80, host, nullptr, nullptr, nullptr);
        if (palette) SetForegroundWindow(palette);
    }
    ~HostWindowWithPalette() {
        if (palette) DestroyWindow(palette);
        if (host) DestroyWindow(host);
    }
    HostWindowWithPalette(const HostWindowWithPalette&) = delete;
    HostWindowWithPalette& operator=(const HostWindowWithPalette&) = delete;

    // Both windows are there and the palette is the foreground window.
    bool PaletteInFront() const { return host && palette && GetForegroundWindow() == palette; }

    HWND host = nullptr;
    HWND palette = nullptr;
};

}  // namespace glyphoria::testing
