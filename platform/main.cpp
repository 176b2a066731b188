// Start-up: close the DLL-planting doors, show the window and run until it is
// gone.
#include <windows.h>

#include <cstdlib>

#include "platform/main_window.h"
#include "platform/system_paths.h"
#include "platform/win32_bindings.h"

namespace {

// Sharp text at 125-200% scaling: lay the design out at the system DPI
// instead of letting Windows stretch a 96-DPI bitmap.
void declareDpiAware() {
    using SetProcessDPIAwareFn = BOOL(WINAPI*)();
    const auto setAware = platform::bindExport<SetProcessDPIAwareFn>(
        ::GetModuleHandleW(L"user32.dll"), "SetProcessDPIAware");
    if (setAware) setAware();
}

// Nothing in the window takes typed text, so the thread needs no input-method
// windows: one fewer window to create for every control.
void disableInputMethod() {
    using ImmDisableIMEFn = BOOL(WINAPI*)(DWORD);
    const auto disable =
        platform::bindExport<ImmDisableIMEFn>(::GetModuleHandleW(L"imm32.dll"), "ImmDisableIME");
    if (disable) disable(0);
}

}  // namespace

// The library's default handler for an uncaught exception pulls in the C++
// demangler (about 45 KB) only to print a name nobody sees in a GUI program.
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    platform::hardenDllSearch();
    platform::leaveStartDirectory();
    declareDpiAware();
    disableInputMethod();
    platform::Win32Bindings bindings;
    platform::MainWindow window(instance, bindings);
    if (!window.create(showCommand)) return 1;
    return window.run();
}
