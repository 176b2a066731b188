#include "skin/thread_hooks.h"

#include "skin/callback_guard.h"
#include "skin/debug_log.h"
#include "skin/skin_state.h"
#include "skin/skinned_button.h"
#include "skin/skinned_window.h"
#include "skin/subclass.h"

namespace skin {
namespace {

void windowCreated(HWND window, const CREATESTRUCTW* create) {
    if (!create || !state() || !state()->installed()) return;
    if (isSkinnable(window, static_cast<DWORD>(create->style),
                    create->hwndParent == HWND_MESSAGE)) {
        subclass(window, skinnedProc);
    } else if (create->style & WS_CHILD) {
        // Message boxes' buttons too, made before their box is shown.
        skinNewButton(window, static_cast<DWORD>(create->style));
    }
}

// Subclasses top-level windows as they are made, before their first message.
LRESULT CALLBACK cbtProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND) {
        // A window the skin failed to catch is made all the same, unskinned.
        atCallbackBoundary(
            "an unexpected error was stopped in the window-creation hook", logStopped,
            [&] {
                windowCreated(reinterpret_cast<HWND>(wParam),
                              reinterpret_cast<CBT_CREATEWNDW*>(lParam)->lpcs);
                return 0;
            },
            [] { return 0; });
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

bool ThreadHooks::hook(DWORD threadId) {
    if (bitOf(threadId)) return true;
    for (Slot& s : slots_) {
        if (s.hook) continue;
        s.hook.reset(::SetWindowsHookExW(WH_CBT, cbtProc, nullptr, threadId));
        if (!s.hook) return false;
        s.endedId.store(0);
        s.threadId.store(threadId);
        return true;
    }
    return false;
}

std::uint32_t ThreadHooks::bitOf(DWORD threadId) const {
    for (std::size_t i = 0; i < kMaxThreads; ++i) {
        const Slot& s = slots_[i];
        if (s.hook && s.threadId.load() == threadId && s.endedId.load() != threadId) {
            return std::uint32_t{1} << i;
        }
    }
    return 0;
}

std::uint32_t ThreadHooks::reclaimEnded(Reclaimed& hooks) {
    std::uint32_t ended = 0;
    for (std::size_t i = 0; i < kMaxThreads; ++i) {
        Slot& s = slots_[i];
        const DWORD id = s.threadId.load();
        if (!s.hook || s.endedId.load() != id) continue;
        // The system may have removed the hook with its thread already;
        // removing it again then just fails.
        hooks[i] = std::move(s.hook);
        s.threadId.store(0);
        ended |= std::uint32_t{1} << i;
    }
    return ended;
}

void ThreadHooks::markEnded(DWORD threadId) {
    for (Slot& s : slots_) {
        if (s.threadId.load() == threadId) s.endedId.store(threadId);
    }
}

}  // namespace skin
