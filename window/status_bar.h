// A status bar of our own, answering the status-bar messages the program and
// the skinning library use (parts, part texts, part rectangles, background
// colour). It spares the program comctl32 and, with it, the theme engine
// that comctl32 loads: the largest part of the start-up time.
#pragma once

#include <windows.h>

namespace platform {

inline constexpr wchar_t kStatusBarClass[] = L"msctls_statusbar32";

// Ours alone: the DPI (wParam) that the bar's borders and text indent are
// drawn at, 96 until told; the window tells it whenever its own DPI changes.
inline constexpr UINT kStatusBarSetDpi = WM_USER + 200;

bool registerStatusBarClass(HINSTANCE instance);

}  // namespace platform
