// Subclassing with SetWindowLongPtrW, the previous procedure kept in a window
// property, which also marks a window as done so that nothing is subclassed
// twice. comctl32's SetWindowSubclass is avoided: importing comctl32 would
// make it loadable from the program's folder.
#pragma once

#include <windows.h>

#include <string_view>

namespace skin {

// Class names compare without regard to case, as Windows does.
bool hasClass(HWND window, std::wstring_view name);

// Top-level windows that take the skin: not children, not message-only
// windows, not the system's menus, tooltips and other helpers.
bool isSkinnable(HWND window, DWORD style, bool messageOnly);

// Puts `procedure` in front of the window's own; false when the window is
// already subclassed by this library or the change fails.
bool subclass(HWND window, WNDPROC procedure);
bool isSubclassed(HWND window);
// The procedure `procedure` stands in front of; null when not subclassed.
WNDPROC previousProc(HWND window);
// Puts the previous procedure back, if nothing has subclassed the window
// over `procedure` since, and forgets it.
void unsubclass(HWND window, WNDPROC procedure);

}  // namespace skin
