// The per-thread WH_CBT hooks that catch top-level windows as they are made,
// so that they wear the skin from their first message. A thread keeps its
// slot until it ends; its slot's bit names it to the look store.
#pragma once

#include <windows.h>

#include <array>
#include <cstddef>
#include <cstdint>

#include "win32/handles.h"

namespace skin {

class ThreadHooks {
  public:
    // Threads that may be attached at once; the program has one.
    static constexpr std::size_t kMaxThreads = 16;
    static_assert(kMaxThreads <= 32, "a thread is one bit of a 32-bit set");

    // Hooks the thread unless it is hooked already; false when no slot is
    // free or the hook cannot be set.
    bool hook(DWORD threadId);
    // The thread's bit; 0 for a thread that is not hooked.
    std::uint32_t bitOf(DWORD threadId) const;
    // For a thread that is ending: unhooks it and frees its slot. Its bit, or
    // 0 when it was not hooked.
    std::uint32_t unhook(DWORD threadId);

  private:
    struct Slot {
        DWORD threadId = 0;
        win32::UniqueHook hook;
    };
    std::array<Slot, kMaxThreads> slots_;
};

}  // namespace skin
