// A skinned top-level window: its procedure answers its controls' colour
// requests and paints its background from the look in force.
#pragma once

#include <windows.h>

namespace skin {

LRESULT CALLBACK skinnedProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Applies the skin's parts that are set rather than asked for, and repaints.
void refresh(HWND window);

// The thread's top-level windows that were there before the skin was attached.
void skinThreadWindows(DWORD threadId);
// Every skinned window of the process repaints with the look now in force.
void refreshProcessWindows();
// Every window of the process gets its own procedure back.
void unskinProcessWindows();

}  // namespace skin
