// A status bar of another process, read from outside. SB_GETTEXTW and
// SB_GETRECT write their answer through a pointer in that process, so the
// buffer is lent there; a driver's own buffer would be written at the same
// address in the other process's memory.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace support {

// Parts counted from 0. Empty text, or an empty rectangle, when the bar does
// not answer within a generous time or its process cannot be opened.
std::wstring statusBarText(HWND bar, DWORD processId, int part);
RECT statusBarRect(HWND bar, DWORD processId, int part);

// Sends a message whose answer the target writes into a buffer of `bytes`
// lent in its own process; the bytes it wrote, or none.
std::vector<char> askIntoRemoteBuffer(HWND target, DWORD processId, UINT message, WPARAM wParam,
                                      size_t bytes);

}  // namespace support
