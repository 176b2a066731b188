// SkinH_VB6.dll's entry points: gives the calling thread's top-level windows,
// and those it creates later, the look that a skin file describes. Which
// threads may call it: see skin_state.h.
//
// Built without exceptions and without the C++ library's run-time parts
// (no std::string, no operator new), which keeps the DLL a few kilobytes.
#include <windows.h>

#include "skin/debug_log.h"
#include "skin/skin_reader.h"
#include "skin/skin_state.h"
#include "skin/skinned_window.h"

namespace {

// What SkinH_AttachEx answers.
constexpr LONG kApplied = 1;
constexpr LONG kNotApplied = 0;

}  // namespace

// 1 = the skin was applied (lines it could not use were skipped);
// 0 = nothing changed: no path, the file is missing, unreadable or refused,
// or the calling thread cannot be attached.
extern "C" LONG WINAPI SkinH_AttachEx(const char* skinPath, const char* password) {
    // Our skins are plain text: there is nothing to decrypt, so the password
    // is never read.
    (void)password;
    skin::State* const state = skin::state();
    if (!skinPath || !state) return kNotApplied;
    const std::optional<skin::Skin> skin = skin::readSkinFile(skinPath);
    if (!skin) return kNotApplied;
    if (!state->keepLoaded()) {
        skin::debugLog("cannot keep the library loaded; the look is unchanged");
        return kNotApplied;
    }
    state->followSystemContrast();
    const skin::State::Installed installed = state->install(*skin);
    if (installed == skin::State::Installed::Refused) return kNotApplied;
    // Outside the lock: refreshing sends messages.
    skin::skinThreadWindows(installed == skin::State::Installed::Changed);
    return kApplied;
}

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
    switch (reason) {
        case DLL_PROCESS_ATTACH:
            skin::createState();
            break;
        case DLL_THREAD_DETACH:
            // Under the loader lock: the thread's place is only marked, and
            // taken back later by a thread that takes the library's lock.
            if (skin::state()) skin::state()->threadEnding(::GetCurrentThreadId());
            break;
        case DLL_PROCESS_DETACH:
            // The process is ending: the system takes everything back, and
            // another thread may have died holding the lock.
            if (reserved) break;
            // An unload: only possible before anything was attached.
            skin::destroyState();
            break;
        default:
            break;
    }
    return TRUE;
}
