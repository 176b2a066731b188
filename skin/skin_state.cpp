#include "skin/skin_state.h"

#include <new>

#include "skin/debug_log.h"
#include "skin/high_contrast.h"
#include "skin/skinned_window.h"

namespace skin {
namespace {

using Lock = win32::CriticalSectionLock;

// Storage that the run-time's exit handlers never destroy: the state is made
// and ended by DllMain alone, and at process exit it is left as it is.
alignas(State) unsigned char g_storage[sizeof(State)];
State* g_state = nullptr;

static_assert(kHighContrastOn == HCF_HIGHCONTRASTON);

std::optional<std::uint32_t> highContrastFlags() {
    HIGHCONTRASTW settings{};
    settings.cbSize = sizeof settings;
    if (!::SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof settings, &settings, 0)) {
        return std::nullopt;
    }
    return settings.dwFlags;
}

bool pinModule() {
    HMODULE self = nullptr;
    return ::GetModuleHandleExW(
               GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
               reinterpret_cast<LPCWSTR>(reinterpret_cast<void*>(&skinnedProc)), &self) != FALSE;
}

}  // namespace

State* state() { return g_state; }
void createState() { g_state = new (g_storage) State(); }
void destroyState() {
    if (g_state) g_state->~State();
    g_state = nullptr;
}

bool State::keepLoaded() {
    registerCountMessage();
    if (!refreshMessage_.load()) refreshMessage_ = ::RegisterWindowMessageW(L"ZelkSkin.Refresh");
    {
        Lock held(lock_);
        if (pinned_) return refreshMessage_.load() != 0;
    }
    const bool pinned = pinModule();
    Lock held(lock_);
    pinned_ = pinned_ || pinned;
    return pinned_ && refreshMessage_.load() != 0;
}

State::Installed State::install(const Skin& skin) {
    Lock held(lock_);
    const DWORD thread = ::GetCurrentThreadId();
    const Look* const now = looks_.current();
    const bool same = now && now->skin() == skin;
    if (!same && !looks_.hasRoom()) {
        debugLog("earlier skins are still being painted with; the look is unchanged");
        return Installed::Refused;
    }
    if (!hooks_.hook(thread)) {
        debugLog("too many threads attached; this thread's windows keep their look");
        return Installed::Refused;
    }
    if (same) return Installed::Same;
    // Posting waits for no one; the threads posted to take the lock to
    // answer, so they see the new look.
    looks_.replace(skin, postToOtherThreads(refreshMessage(), thread, hooks_));
    return Installed::Changed;
}

void State::threadQuiet(DWORD threadId) {
    Lock held(lock_);
    looks_.quiet(hooks_.bitOf(threadId));
}

void State::threadEnded(DWORD threadId) {
    Lock held(lock_);
    looks_.quiet(hooks_.unhook(threadId));
}

void State::followSystemContrast() {
    // Asked outside the lock: the answer may take a call into the system.
    const bool shows = skinShows(highContrastFlags());
    Lock held(lock_);
    standingDown_ = !shows;
}

Answer State::answer(Element element) {
    Lock held(lock_);
    const Look* const look = looks_.current();
    return look && !standingDown_ ? look->answer(element) : Answer{};
}

std::optional<COLORREF> State::statusBackground() {
    Lock held(lock_);
    const Look* const look = looks_.current();
    return look && !standingDown_ ? look->statusBackground() : std::nullopt;
}

bool State::installed() {
    Lock held(lock_);
    return looks_.current() != nullptr;
}

bool State::drawsButtons() {
    Lock held(lock_);
    const Look* const look = looks_.current();
    return look && !standingDown_ && look->buttons();
}

bool State::drawButton(HDC dc, const RECT& area, const ButtonState& button, HFONT font,
                       std::wstring_view caption) {
    Lock held(lock_);
    const Look* const look = looks_.current();
    if (!look || standingDown_ || !look->buttons()) return false;
    skin::drawButton(dc, area, *look->buttons(), button, font, caption);
    return true;
}

}  // namespace skin
