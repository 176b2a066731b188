#include "skin/look_store.h"

namespace skin {

const Look* LookStore::current() const {
    return current_ < kCapacity ? &*slots_[current_].look : nullptr;
}

bool LookStore::hasRoom() const {
    for (const Slot& s : slots_) {
        if (!s.look) return true;
    }
    return false;
}

void LookStore::replace(const Skin& skin, std::uint32_t painters) {
    for (std::size_t i = 0; i < kCapacity; ++i) {
        if (slots_[i].look) continue;
        slots_[i].look.emplace(skin);
        slots_[i].painters = 0;
        if (current_ < kCapacity) slots_[current_].painters = painters;
        current_ = i;
        freeUnused();
        return;
    }
}

void LookStore::quiet(std::uint32_t threads) {
    for (Slot& s : slots_) s.painters &= ~threads;
    freeUnused();
}

void LookStore::freeUnused() {
    for (std::size_t i = 0; i < kCapacity; ++i) {
        if (i != current_ && slots_[i].painters == 0) slots_[i].look.reset();
    }
}

}  // namespace skin
