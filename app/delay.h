#pragma once

#include <cstdint>

#include "app/bindings.h"
#include "app/host.h"

namespace app {

// Holds up the caller for `milliseconds` on the millisecond counter while the
// window stays live: pending events are handled during the wait, and between
// them the thread sleeps until the next event or the deadline. A count of 0
// or less returns at once without pumping. Elapsed time is taken modulo 2^32,
// so the counter's wrap neither shortens nor stretches the wait. Returns
// early only when the program has been asked to quit.
void Delay(Host& host, Bindings& api, const std::int16_t& milliseconds);

}  // namespace app
