// The boundary of the library's window enumeration callbacks.
#pragma once

#include <windows.h>

#include "skin/callback_guard.h"
#include "skin/debug_log.h"

namespace skin {

// Runs an enumeration callback's body; enumeration goes on past a window
// whose body failed.
template <typename Body>
BOOL enumBoundary(Body&& body) {
    return atCallbackBoundary("an unexpected error was stopped in a window enumeration", logStopped,
                              body, [] { return TRUE; });
}

}  // namespace skin
