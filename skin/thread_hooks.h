// The per-thread WH_CBT hooks that catch top-level windows as they are made,
// so that they wear the skin from their first message. A thread keeps its
// slot until it ends; its slot's bit names it to the look store.
//
// An ending thread only marks its slot, from DllMain, with plain atomic
// stores: no lock, no call into the system. The slot is taken back later,
// under the library's lock, by whichever thread next takes it
// (reclaimEnded()), and the dead thread's hook is removed after that lock is
// released. Marking beats asking the system which threads still run: it
// needs no thread handle and cannot be fooled by a thread id used again.
#pragma once

#include <windows.h>

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>

#include "win32/handles.h"

namespace skin {

class ThreadHooks {
  public:
    // Threads that may be attached at once; the program has one.
    static constexpr std::size_t kMaxThreads = 16;
    static_assert(kMaxThreads <= 32, "a thread is one bit of a 32-bit set");
    // The hooks of ended threads, to be removed outside the lock.
    using Reclaimed = std::array<win32::UniqueHook, kMaxThreads>;

    // Under the lock. Hooks the thread unless it is hooked already; false
    // when no slot is free or the hook cannot be set. Setting a hook on the
    // calling thread, with no module to load, waits for no one.
    bool hook(DWORD threadId);
    // Under the lock. The thread's bit; 0 for a thread that is not hooked.
    std::uint32_t bitOf(DWORD threadId) const;
    // Under the lock: frees the slots of threads that have ended, moving
    // their hooks into `hooks`. Their bits.
    std::uint32_t reclaimEnded(Reclaimed& hooks);
    // From DllMain, on the ending thread itself: marks its slot, if it has
    // one, and nothing else. A thread that never attached only compares.
    void markEnded(DWORD threadId);

  private:
    struct Slot {
        std::atomic<DWORD> threadId{0};  // 0: free
        std::atomic<DWORD> endedId{0};   // equals threadId once that thread has ended
        win32::UniqueHook hook;          // touched under the lock only
    };
    std::array<Slot, kMaxThreads> slots_;
};

}  // namespace skin
