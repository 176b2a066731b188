// The look in force and the replaced ones that a thread may still be painting
// with. A control paints with the brush its parent answered after the answer
// is given, so a replaced look is freed only once every thread that could
// hold one of its brushes has been seen quiet (back in its message loop) or
// has ended. Threads are named by bits (their hook slots). Not locked itself:
// the library's state holds it under its lock.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "skin/look.h"

namespace skin {

class LookStore {
  public:
    // Looks alive at once: the one in force and those waiting to be freed.
    static constexpr std::size_t kCapacity = 4;

    const Look* current() const;
    // Whether a look can be put in force now.
    bool hasRoom() const;
    // Puts a new look in force (hasRoom() must hold). The one it replaces is
    // kept until every thread in `painters` is quiet.
    void replace(const Skin& skin, std::uint32_t painters);
    // The threads in `threads` paint with no replaced look any more.
    void quiet(std::uint32_t threads);

  private:
    struct Slot {
        std::optional<Look> look;
        std::uint32_t painters = 0;  // threads that may still paint with it
    };
    void freeUnused();

    std::array<Slot, kCapacity> slots_;
    std::size_t current_ = kCapacity;  // none yet
};

}  // namespace skin
