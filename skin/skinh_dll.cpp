// SkinH_VB6.dll's entry points: gives the calling thread's top-level windows,
// and those it creates later, the look that a skin file describes.
//
// Built without exceptions and without the C++ library's run-time parts
// (no std::string, no operator new), which keeps the DLL a few kilobytes.
#include <windows.h>

#include "skin/skin_reader.h"
#include "skin/skin_state.h"
#include "skin/skinned_window.h"

namespace {

// What SkinH_AttachEx answers.
constexpr LONG kApplied = 1;
constexpr LONG kNotApplied = 0;

}  // namespace

// 1 = the skin was applied (lines it could not use were skipped);
// 0 = nothing changed: no path, or the file is missing, unreadable or refused.
extern "C" LONG WINAPI SkinH_AttachEx(const char* skinPath, const char* password) {
    // Our skins are plain text: there is nothing to decrypt, so the password
    // is never read.
    (void)password;
    skin::State* const state = skin::state();
    if (!skinPath || !state) return kNotApplied;
    const std::optional<skin::Skin> skin = skin::readSkinFile(skinPath);
    if (!skin) return kNotApplied;
    const bool changed = state->install(*skin);
    // Outside the lock: refreshing sends messages, which may reach windows of
    // other threads that take the lock to answer them.
    skin::skinThreadWindows(::GetCurrentThreadId());
    // Windows of every thread already wearing an earlier skin take the new one.
    if (changed) skin::refreshProcessWindows();
    return kApplied;
}

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        ::DisableThreadLibraryCalls(module);
        skin::createState();
    } else if (reason == DLL_PROCESS_DETACH && skin::state()) {
        skin::state()->release(reserved != nullptr);
        skin::destroyState();
    }
    return TRUE;
}
