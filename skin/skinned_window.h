// A skinned top-level window: its procedure answers its controls' colour
// requests and paints its background from the look in force.
#pragma once

#include <windows.h>

#include <cstdint>

namespace skin {

class ThreadHooks;

LRESULT CALLBACK skinnedProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Applies the skin's parts that are set rather than asked for, and repaints.
void refresh(HWND window);

// The calling thread's top-level windows that were there before the skin was
// attached; with `changed`, those skinned already repaint too.
void skinThreadWindows(bool changed);
// Posts `message` to every skinned top-level window of the process that
// `except` does not own. The threads posted to, as bits of `hooks`. Sends
// nothing, so it may be called under the state's lock.
std::uint32_t postToOtherThreads(UINT message, DWORD except, const ThreadHooks& hooks);

}  // namespace skin
