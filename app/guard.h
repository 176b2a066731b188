// The boundary between Windows and the program's own code: nothing thrown
// may unwind through a window procedure or a hook, as the frames between
// belong to the system. Each callback runs its work through runGuarded.
#pragma once

#include <exception>
#include <utility>

#include "app/host.h"

namespace app {

// Tells the user about a failure that reached a boundary, as a failed step is
// told. Never throws: a failing report is dropped.
void reportFailure(Host& host, const std::exception_ptr& failure) noexcept;

// Runs the callable; anything it throws is reported through the host (when
// there is one) and the fallback is returned instead.
template <typename Result, typename Callable>
Result runGuarded(Host* host, Result fallback, Callable&& call) noexcept {
    try {
        return std::forward<Callable>(call)();
    } catch (...) {
        if (host) reportFailure(*host, std::current_exception());
        return fallback;
    }
}

}  // namespace app
