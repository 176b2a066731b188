#include "app/delay.h"

namespace app {

void Delay(Host& host, Bindings& api, const std::int16_t& milliseconds) {
    const std::uint32_t start = api.timeGetTime();
    std::uint32_t elapsed = api.timeGetTime() - start;
    if (milliseconds <= 0) return;
    const auto wanted = static_cast<std::uint32_t>(milliseconds);
    while (elapsed < wanted) {
        if (!host.pumpEvents()) return;  // quitting: the window is gone
        elapsed = api.timeGetTime() - start;
        // Sleep instead of spinning; an arriving event ends the sleep early.
        if (elapsed < wanted) host.waitForEvents(wanted - elapsed);
    }
}

}  // namespace app
