#include "skin/skin_state.h"

#include <new>

#include "skin/debug_log.h"
#include "skin/high_contrast.h"
#include "skin/skinned_window.h"

namespace skin {
namespace {

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

// The lock, taken from an ordinary context, never from DllMain. Taking it
// takes back the places of threads that have ended; once it is released, their
// hooks are removed (members go after the destructor's body) and the looks
// nobody can use any more are freed.
class State::Held {
  public:
    explicit Held(State& state) : state_(state) {
        ::EnterCriticalSection(&state_.lock_);
        state_.looks_.quiet(state_.hooks_.reclaimEnded(endedHooks_));
    }
    Held(const Held&) = delete;
    Held& operator=(const Held&) = delete;
    ~Held() {
        const LookStore::Retired retired = state_.looks_.takeRetired();
        ::LeaveCriticalSection(&state_.lock_);
        state_.looks_.freeRetired(retired);
    }

  private:
    State& state_;
    ThreadHooks::Reclaimed endedHooks_;
};

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
        Held held(*this);
        if (pinned_) return refreshMessage_.load() != 0;
    }
    const bool pinned = pinModule();
    Held held(*this);
    pinned_ = pinned_ || pinned;
    return pinned_ && refreshMessage_.load() != 0;
}

State::Installed State::install(const Skin& skin) {
    const DWORD thread = ::GetCurrentThreadId();
    const char* refused = nullptr;
    std::size_t slot = LookStore::kNone;
    {
        Held held(*this);
        const Look* const now = looks_.current();
        const bool same = now && now->skin() == skin;
        if (!same) slot = looks_.reserve();
        if (!same && slot == LookStore::kNone) {
            refused = "earlier skins are still being painted with; the look is unchanged";
        } else if (!hooks_.hook(thread)) {
            if (!same) looks_.cancel(slot);
            refused = "too many threads attached; this thread's windows keep their look";
        } else if (same) {
            return Installed::Same;
        }
    }
    // The debug output and the look's GDI objects, outside the lock.
    if (refused) {
        debugLog(refused);
        return Installed::Refused;
    }
    looks_.build(slot, skin);
    Held held(*this);
    // Posting waits for no one; the threads posted to take the lock to
    // answer, so they see the new look.
    looks_.putInForce(slot, postToOtherThreads(refreshMessage(), thread, hooks_));
    return Installed::Changed;
}

void State::threadQuiet(DWORD threadId) {
    Held held(*this);
    looks_.quiet(hooks_.bitOf(threadId));
}

void State::threadEnding(DWORD threadId) { hooks_.markEnded(threadId); }

void State::followSystemContrast() {
    // Asked outside the lock: the answer may take a call into the system.
    const bool shows = skinShows(highContrastFlags());
    Held held(*this);
    standingDown_ = !shows;
}

Answer State::answer(Element element) {
    Held held(*this);
    const Look* const look = looks_.current();
    return look && !standingDown_ ? look->answer(element) : Answer{};
}

std::optional<COLORREF> State::statusBackground() {
    Held held(*this);
    const Look* const look = looks_.current();
    return look && !standingDown_ ? look->statusBackground() : std::nullopt;
}

bool State::installed() {
    Held held(*this);
    return looks_.current() != nullptr;
}

bool State::drawsButtons() {
    Held held(*this);
    const Look* const look = looks_.current();
    return look && !standingDown_ && look->buttons();
}

bool State::drawButton(HDC dc, const RECT& area, const ButtonState& button,
                       const ButtonMetrics& metrics, HFONT font, std::wstring_view caption) {
    const Look* const look = holdButtonLook();
    if (!look) return false;
    // Outside the lock: drawing text may load fonts, and with them modules.
    skin::drawButton(dc, area, *look->buttons(), button, metrics, font, caption);
    releaseLook(look);
    return true;
}

const Look* State::holdButtonLook() {
    Held held(*this);
    const Look* const look = looks_.current();
    return look && !standingDown_ && look->buttons() ? looks_.hold() : nullptr;
}

void State::releaseLook(const Look* look) {
    Held held(*this);
    looks_.release(look);
}

}  // namespace skin
