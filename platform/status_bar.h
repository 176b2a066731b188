// A status bar of our own, answering the status-bar messages the program and
// the skinning library use (parts, part texts, part rectangles, background
// colour). It spares the program comctl32 and, with it, the theme engine
// that comctl32 loads: the largest part of the start-up time.
#pragma once

#include <windows.h>

namespace platform {

inline constexpr wchar_t kStatusBarClass[] = L"msctls_statusbar32";

bool registerStatusBarClass(HINSTANCE instance);

}  // namespace platform
