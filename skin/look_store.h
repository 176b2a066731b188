// The looks alive at once: the one in force and the replaced ones that may
// still be painted with. Two things keep a replaced look alive:
// - a paint that holds it (hold()/release()): a button is drawn with the
//   look outside the lock;
// - a thread that may still hold one of its brushes: a control paints with
//   the brush its parent answered after the answer is given, so the look
//   waits until every such thread has been seen quiet (back in its message
//   loop) or has ended. Threads are named by bits (their hook slots).
// A look's GDI objects are made and freed outside the lock: a slot is set
// aside (reserve()), built by the thread that reserved it, then put in force;
// a look nobody can use any more is taken out (takeRetired()) and freed once
// the lock is released (freeRetired()). Not locked itself: the library's state
// calls it under its lock, except build() and freeRetired() as said.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "skin/look.h"

namespace skin {

class LookStore {
  public:
    // Looks alive at once: the one in force and those waiting to be freed.
    static constexpr std::size_t kCapacity = 4;
    static constexpr std::size_t kNone = kCapacity;
    // Slots taken out of use, one bit each.
    using Retired = std::uint32_t;

    const Look* current() const;
    // The look in force, held for a paint until release(look): it is neither
    // freed nor its slot used again meanwhile. Null when there is none.
    const Look* hold();
    void release(const Look* look);

    // A free slot set aside for a new look; kNone when every slot is in use.
    std::size_t reserve();
    // Gives back a slot reserved and not built.
    void cancel(std::size_t slot);
    // Outside the lock, by the thread that reserved the slot: makes the look.
    void build(std::size_t slot, const Skin& skin);
    // Puts the built look in force. The one it replaces waits until every
    // thread in `painters` is quiet.
    void putInForce(std::size_t slot, std::uint32_t painters);
    // The threads in `threads` paint with no replaced look any more.
    void quiet(std::uint32_t threads);

    // The looks nobody can use any more, taken out of use.
    Retired takeRetired();
    // Outside the lock: frees them and gives their slots back.
    void freeRetired(Retired retired);

  private:
    enum class Phase : std::uint8_t { Free, Building, InUse, Retired };
    struct Slot {
        std::optional<Look> look;
        std::uint32_t painters = 0;  // threads that may still paint with it
        unsigned holders = 0;        // paints under way with it
        std::atomic<Phase> phase{Phase::Free};
    };

    std::array<Slot, kCapacity> slots_;
    std::size_t current_ = kNone;
};

}  // namespace skin
