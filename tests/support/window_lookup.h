// Windows of another process: found by class and title, read as text.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace support {

std::wstring classNameOf(HWND window);
std::wstring windowTextOf(HWND window);

// A visible top-level window of the process with this class and, if given,
// this title; null when there is none.
HWND findTopLevel(DWORD processId, const wchar_t* className, const wchar_t* title = nullptr);
// Every such visible window, in z-order.
std::vector<HWND> allTopLevel(DWORD processId, const wchar_t* className,
                              const wchar_t* title = nullptr);

}  // namespace support
