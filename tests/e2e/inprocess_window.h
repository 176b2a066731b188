// The real main window, made inside the test's own process: what the window
// says to its own controls, its fonts and its GDI objects can be looked at
// directly, which another process cannot do.
#pragma once

#include <windows.h>

#include <memory>

#include "platform/main_window.h"
#include "platform/win32_bindings.h"

namespace e2e {

class InProcessWindow {
  public:
    // Made and shown, as the program does at start, in a process that
    // declares itself DPI-aware as the program does.
    InProcessWindow();
    InProcessWindow(const InProcessWindow&) = delete;
    InProcessWindow& operator=(const InProcessWindow&) = delete;
    // Destroys the window, takes back the quit request it leaves, and
    // unregisters its classes, so that the next test can make it again.
    ~InProcessWindow();

    HWND window() const { return window_; }
    HWND control(int id) const { return ::GetDlgItem(window_, id); }

  private:
    platform::Win32Bindings bindings_;
    std::unique_ptr<platform::MainWindow> main_;
    HWND window_ = nullptr;
};

}  // namespace e2e
