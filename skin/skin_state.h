// The library's whole state: the look in force and the thread hooks, behind
// one lock. Made when the DLL is loaded, released when it is unloaded.
// Window procedures read it under the lock and never allocate.
#pragma once

#include <windows.h>

#include <optional>
#include <string_view>

#include "skin/look.h"
#include "skin/thread_hooks.h"

namespace skin {

class State {
  public:
    State() { ::InitializeCriticalSection(&lock_); }
    State(const State&) = delete;
    State& operator=(const State&) = delete;
    ~State() { ::DeleteCriticalSection(&lock_); }

    // Puts the skin in force and hooks the calling thread; true when the look
    // changed, so that windows already skinned must repaint.
    bool install(const Skin& skin);
    // Unhooks every thread and lets the look go.
    void release(bool processExit);

    Answer answer(Element element);
    std::optional<COLORREF> statusBackground();
    bool installed();
    bool drawsButtons();
    // Draws a push button in the look in force, holding the lock so that the
    // look cannot be replaced mid-paint; false when buttons keep the system's
    // look.
    bool drawButton(HDC dc, const RECT& area, const ButtonState& button, HFONT font,
                    std::wstring_view caption);

  private:
    CRITICAL_SECTION lock_;
    std::optional<Look> look_;
    ThreadHooks hooks_;
};

// Null outside the DLL's lifetime.
State* state();
void createState();
void destroyState();

}  // namespace skin
