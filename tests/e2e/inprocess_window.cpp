#include "tests/e2e/inprocess_window.h"

#include "platform/process_setup.h"
#include "platform/status_bar.h"

namespace e2e {
namespace {

constexpr wchar_t kWindowClass[] = L"ZelkUsbTool.Form1";

BOOL CALLBACK takeFirstWindow(HWND window, LPARAM found) {
    wchar_t name[64]{};
    ::GetClassNameW(window, name, 64);
    if (::lstrcmpW(name, kWindowClass) != 0) return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

}  // namespace

InProcessWindow::InProcessWindow()
    : main_(std::make_unique<platform::MainWindow>(::GetModuleHandleW(nullptr), bindings_)) {
    // Laid out at the system's DPI, as the program's window is.
    platform::declareDpiAware();
    if (!main_->create(SW_SHOWNORMAL)) return;
    ::EnumThreadWindows(::GetCurrentThreadId(), takeFirstWindow,
                        reinterpret_cast<LPARAM>(&window_));
}

InProcessWindow::~InProcessWindow() {
    main_.reset();
    MSG message{};
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message != WM_QUIT) ::DispatchMessageW(&message);
    }
    ::UnregisterClassW(kWindowClass, ::GetModuleHandleW(nullptr));
    ::UnregisterClassW(platform::kStatusBarClass, ::GetModuleHandleW(nullptr));
}

}  // namespace e2e
