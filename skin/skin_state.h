// The library's whole state: the looks and the thread hooks, behind one lock.
//
// Threads. Any thread may call SkinH_AttachEx, except from inside a window
// procedure that is answering a colour request. The calling thread's
// top-level windows, open and later, then wear the skin; the look is one for
// the process, the latest attach's. Up to ThreadHooks::kMaxThreads threads at
// once; a thread's place is taken back after it ends (a thread that finds no
// free place is refused, and its windows keep their own look). Window
// procedures and hooks run on the thread that owns the window and touch only
// that thread's windows: a new look reaches another thread's windows through
// a posted message. Once a thread is attached the module stays loaded until
// the process ends: hooks and subclassed windows call into it.
//
// The lock. Everything here is read and changed under it, and nothing under
// it waits for another thread, waits for the loader lock or loads a module:
// no drawing, no font, no debug output, no GDI object made or freed, only
// memory, posting and setting the calling thread's hook. DllMain takes no
// lock at all: an ending thread only marks its hook slot (see
// thread_hooks.h), and the next call that takes the lock, from an ordinary
// context, takes the slot back; the dead thread's hook is removed and
// unused looks are freed just after that lock is released (State::Held).
// A button is drawn outside the lock with a look held for the paint; a
// replaced look is freed only once no paint holds it and every thread that
// may paint with one of its brushes has been quiet or has ended (see
// look_store.h).
#pragma once

#include <windows.h>

#include <atomic>
#include <optional>
#include <string_view>

#include "skin/look_store.h"
#include "skin/thread_hooks.h"

namespace skin {

class State {
  public:
    State() { ::InitializeCriticalSection(&lock_); }
    State(const State&) = delete;
    State& operator=(const State&) = delete;
    ~State() { ::DeleteCriticalSection(&lock_); }

    enum class Installed { Refused, Same, Changed };
    // Keeps the module loaded for good; false when it cannot. Not under the
    // lock: it takes the loader lock.
    bool keepLoaded();
    // Puts the skin in force for the calling thread and hooks it. On a
    // change, other threads' skinned windows are sent the refresh message.
    Installed install(const Skin& skin);
    // The calling thread is in its message loop: it paints with no
    // replaced look.
    void threadQuiet(DWORD threadId);
    // DllMain, for a thread that is ending: takes no lock, calls nothing.
    void threadEnding(DWORD threadId);

    // Asks the system whether a high-contrast theme runs: the skin then
    // stands down and every window takes the system's colours.
    void followSystemContrast();

    Answer answer(Element element);
    std::optional<COLORREF> statusBackground();
    bool installed();
    // Posted to a skinned window whose thread should take a new look.
    UINT refreshMessage() const { return refreshMessage_.load(); }
    bool drawsButtons();
    // Draws a push button in the look in force, held (not locked) for the
    // paint so that it outlives a replacement; false when buttons keep the
    // system's look.
    bool drawButton(HDC dc, const RECT& area, const ButtonState& button,
                    const ButtonMetrics& metrics, HFONT font, std::wstring_view caption);

  private:
    class Held;
    const Look* holdButtonLook();
    void releaseLook(const Look* look);

    CRITICAL_SECTION lock_;
    LookStore looks_;
    ThreadHooks hooks_;
    bool pinned_ = false;
    bool standingDown_ = false;
    std::atomic<UINT> refreshMessage_{0};
};

// Null outside the DLL's lifetime.
State* state();
void createState();
// Only when nothing was attached: after that the module is never unloaded.
void destroyState();

}  // namespace skin
