// Push buttons in the skin's colours. The library paints them; the button's
// own procedure keeps everything else: its state, keyboard and clicks, and
// what it reports to accessibility tools (class, style, name, role).
#pragma once

#include <windows.h>

namespace skin {

// A push button being made (from the CBT hook): its style is in the making.
void skinNewButton(HWND window, DWORD style);
// Every push button inside a top-level window, or back to its own look.
void skinButtonsOf(HWND window);

}  // namespace skin
