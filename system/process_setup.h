// What the process sets for itself before it makes its window. A test that
// makes the real window inside its own process sets the same.
#pragma once

#include <cstdint>

namespace platform {

// Sharp text at 125-200% scaling: the design is laid out at the monitor's
// DPI (or the system's, before Windows 10 1703) instead of Windows
// stretching a 96-DPI bitmap.
void declareDpiAware();

#ifdef _WIN32
#define PROCESS_SETUP_API __stdcall
#else
#define PROCESS_SETUP_API
#endif

// SetProcessDpiAwarenessContext and SetProcessDPIAware, bound by name; null
// where Windows lacks one.
struct DpiAwarenessCalls {
    int(PROCESS_SETUP_API* setProcessDpiAwarenessContext)(void* context);
    int(PROCESS_SETUP_API* setProcessDpiAware)();
};

// Per monitor, version 2, where Windows has it (10 1703 and later): the
// window follows each monitor's scale, and Windows scales its frame and
// message boxes with it. Otherwise the system's DPI; never version 1, which
// leaves the title bar and message boxes unscaled.
inline void declareDpiAware(const DpiAwarenessCalls& calls) {
    // DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2
    void* const perMonitorV2 = reinterpret_cast<void*>(std::intptr_t{-4});
    if (calls.setProcessDpiAwarenessContext && calls.setProcessDpiAwarenessContext(perMonitorV2))
        return;
    if (calls.setProcessDpiAware) calls.setProcessDpiAware();
}

// Nothing in the window takes typed text, so the thread needs no input-method
// windows: one fewer window to create for every control.
void disableInputMethod();

}  // namespace platform
