#include "skin/skin_state.h"

#include "skin/debug_log.h"
#include "skin/skinned_window.h"

namespace skin {
namespace {

using Lock = platform::CriticalSectionLock;

// Made in DllMain's attach, ended in its detach, so that nothing of it is
// left to the run-time's exit handlers.
std::optional<State> g_state;

}  // namespace

State* state() { return g_state ? &*g_state : nullptr; }
void createState() { g_state.emplace(); }
void destroyState() { g_state.reset(); }

bool State::install(const Skin& skin) {
    Lock held(lock_);
    bool changed = false;
    if (!look_ || look_->skin() != skin) {
        // The old brushes are deleted here; windows repaint with the new
        // ones once refreshed.
        look_.emplace(skin);
        changed = true;
    }
    registerCountMessage();
    if (!hooks_.hook(::GetCurrentThreadId())) debugLog("cannot watch this thread for new windows");
    return changed;
}

void State::release(bool processExit) {
    {
        Lock held(lock_);
        hooks_.unhookAll();
    }
    // At process exit the windows go with it; on an unload they must not keep
    // calling into a library that is gone.
    if (!processExit) unskinProcessWindows();
    Lock held(lock_);
    look_.reset();
}

Answer State::answer(Element element) {
    Lock held(lock_);
    return look_ ? look_->answer(element) : Answer{};
}

std::optional<COLORREF> State::statusBackground() {
    Lock held(lock_);
    return look_ ? look_->statusBackground() : std::nullopt;
}

bool State::installed() {
    Lock held(lock_);
    return look_.has_value();
}

bool State::drawsButtons() {
    Lock held(lock_);
    return look_ && look_->buttons();
}

bool State::drawButton(HDC dc, const RECT& area, const ButtonState& button, HFONT font,
                       std::wstring_view caption) {
    Lock held(lock_);
    if (!look_ || !look_->buttons()) return false;
    skin::drawButton(dc, area, *look_->buttons(), button, font, caption);
    return true;
}

}  // namespace skin
