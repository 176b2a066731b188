#include "skin/thread_hooks.h"

#include <algorithm>

#include "skin/skin_state.h"
#include "skin/skinned_button.h"
#include "skin/skinned_window.h"
#include "skin/subclass.h"

namespace skin {
namespace {

// Subclasses top-level windows as they are made, before their first message.
LRESULT CALLBACK cbtProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND && state() && state()->installed()) {
        const auto window = reinterpret_cast<HWND>(wParam);
        const CREATESTRUCTW* create = reinterpret_cast<CBT_CREATEWNDW*>(lParam)->lpcs;
        if (create && isSkinnable(window, static_cast<DWORD>(create->style),
                                  create->hwndParent == HWND_MESSAGE)) {
            subclass(window, skinnedProc);
        } else if (create && (create->style & WS_CHILD)) {
            // Message boxes' buttons too, made before their box is shown.
            skinNewButton(window, static_cast<DWORD>(create->style));
        }
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

bool ThreadHooks::hook(DWORD threadId) {
    for (const Slot& s : slots_) {
        if (s.hook && s.threadId == threadId) return true;
    }
    const auto free =
        std::find_if(slots_.begin(), slots_.end(), [](const Slot& s) { return !s.hook; });
    if (free == slots_.end()) return false;
    const HHOOK hook = ::SetWindowsHookExW(WH_CBT, cbtProc, nullptr, threadId);
    if (!hook) return false;
    free->threadId = threadId;
    free->hook.reset(hook);
    return true;
}

void ThreadHooks::unhookAll() {
    for (Slot& s : slots_) s.hook.reset();
}

}  // namespace skin
