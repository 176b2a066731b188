// The per-thread WH_CBT hooks that catch top-level windows as they are made,
// so that they wear the skin from their first message.
#pragma once

#include <windows.h>

#include <array>
#include <cstddef>

#include "platform/handles.h"

namespace skin {

class ThreadHooks {
  public:
    // Threads that may attach; the program has one.
    static constexpr std::size_t kMaxThreads = 16;

    // Hooks the thread unless it is hooked already; false when no slot is
    // free or the hook cannot be set.
    bool hook(DWORD threadId);
    void unhookAll();

  private:
    struct Slot {
        DWORD threadId = 0;
        platform::UniqueHook hook;
    };
    std::array<Slot, kMaxThreads> slots_;
};

}  // namespace skin
