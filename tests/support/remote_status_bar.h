// A status bar of another process, read from outside. SB_GETTEXTW and
// SB_GETRECT write their answer through a pointer in that process, so the
// buffer is lent there; a driver's own buffer would be written at the same
// address in the other process's memory.
#pragma once

#include <windows.h>

#include <string>

namespace support {

// Parts counted from 0. Empty text, or an empty rectangle, when the bar does
// not answer within a generous time or its process cannot be opened.
std::wstring statusBarText(HWND bar, DWORD processId, int part);
RECT statusBarRect(HWND bar, DWORD processId, int part);

}  // namespace support
