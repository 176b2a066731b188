#include "skin/look_store.h"

namespace skin {

const Look* LookStore::current() const {
    return current_ < kCapacity ? &*slots_[current_].look : nullptr;
}

const Look* LookStore::hold() {
    if (current_ >= kCapacity) return nullptr;
    ++slots_[current_].holders;
    return &*slots_[current_].look;
}

void LookStore::release(const Look* look) {
    for (Slot& s : slots_) {
        if (s.phase.load() == Phase::InUse && &*s.look == look) --s.holders;
    }
}

std::size_t LookStore::reserve() {
    for (std::size_t i = 0; i < kCapacity; ++i) {
        if (slots_[i].phase.load() != Phase::Free) continue;
        slots_[i].phase.store(Phase::Building);
        return i;
    }
    return kNone;
}

void LookStore::cancel(std::size_t slot) { slots_[slot].phase.store(Phase::Free); }

void LookStore::build(std::size_t slot, const Skin& skin) { slots_[slot].look.emplace(skin); }

void LookStore::putInForce(std::size_t slot, std::uint32_t painters) {
    if (current_ < kCapacity) slots_[current_].painters = painters;
    slots_[slot].painters = 0;
    slots_[slot].holders = 0;
    slots_[slot].phase.store(Phase::InUse);
    current_ = slot;
}

void LookStore::quiet(std::uint32_t threads) {
    for (Slot& s : slots_) s.painters &= ~threads;
}

LookStore::Retired LookStore::takeRetired() {
    Retired retired = 0;
    for (std::size_t i = 0; i < kCapacity; ++i) {
        Slot& s = slots_[i];
        if (i == current_ || s.phase.load() != Phase::InUse || s.painters || s.holders) continue;
        s.phase.store(Phase::Retired);
        retired |= Retired{1} << i;
    }
    return retired;
}

void LookStore::freeRetired(Retired retired) {
    for (std::size_t i = 0; i < kCapacity; ++i) {
        if (!(retired & (Retired{1} << i))) continue;
        slots_[i].look.reset();
        // Seen by reserve() under the lock only after the look is gone.
        slots_[i].phase.store(Phase::Free);
    }
}

}  // namespace skin
