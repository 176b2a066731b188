// The status bar's part of the skin: a colour set on the bar, not one it asks
// its parent for.
#pragma once

#include <windows.h>

#include <optional>

namespace skin {

bool isStatusBar(HWND window);

// Colours the bar; nothing gives it back its own look.
void setStatusBackground(HWND bar, std::optional<COLORREF> colour);

// The same for every status bar inside `window`.
void colourStatusBars(HWND window, std::optional<COLORREF> colour);

}  // namespace skin
