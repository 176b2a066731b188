// What the process sets for itself before it makes its window. A test that
// makes the real window inside its own process sets the same.
#pragma once

namespace platform {

// Sharp text at 125-200% scaling: the design is laid out at the monitor's
// DPI (or the system's, before Windows 10 1703) instead of Windows
// stretching a 96-DPI bitmap.
void declareDpiAware();

// Nothing in the window takes typed text, so the thread needs no input-method
// windows: one fewer window to create for every control.
void disableInputMethod();

}  // namespace platform
