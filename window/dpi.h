// The window's scale, per monitor where Windows has it (Windows 10 1607 and
// later: each function bound by name, so the program still starts on Vista)
// and the system's otherwise.
#pragma once

#include <windows.h>

namespace platform::dpi {

// The DPI the system signed in with; what everything is at without
// per-monitor support.
int system();
// The window's own DPI: that of the monitor it is on, under per-monitor awareness.
int ofWindow(HWND window);
// GetSystemMetrics at the DPI.
int metric(int index, int dpi);
// The window rectangle that holds a client area of this size, frame at the DPI.
RECT frameFor(int clientWidth, int clientHeight, DWORD style, DWORD exStyle, int dpi);
// The system's message font, sized for the DPI.
LOGFONTW messageFont(int dpi);
// Keeps the dialog manager from sizing the window or moving its controls on
// a DPI change by itself: the window lays itself out from its design.
void keepDialogManagerOut(HWND window);

}  // namespace platform::dpi
