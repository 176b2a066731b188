// Start-up: close the DLL-planting doors, load the common controls from the
// system directory, show the window and run until it is gone.
#include <windows.h>

#include <commctrl.h>

#include <cstdlib>

#include "platform/main_window.h"
#include "platform/system_paths.h"
#include "platform/win32_bindings.h"

namespace {

// Sharp text at 125-200% scaling: lay the design out at the system DPI
// instead of letting Windows stretch a 96-DPI bitmap.
void declareDpiAware() {
    using SetProcessDPIAwareFn = BOOL(WINAPI*)();
    const auto setAware =
        platform::bindExport<SetProcessDPIAwareFn>(::GetModuleHandleW(L"user32.dll"), "SetProcessDPIAware");
    if (setAware) setAware();
}

// comctl32 is no KnownDLL: imported statically it would be looked up in the
// program's folder first, so it is loaded by full path instead.
platform::UniqueLibrary loadCommonControls() {
    platform::UniqueLibrary comctl = platform::loadSystemLibrary(L"comctl32.dll");
    using InitFn = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    const auto init = platform::bindExport<InitFn>(comctl.get(), "InitCommonControlsEx");
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_BAR_CLASSES};
    if (init) init(&controls);
    return comctl;
}

}  // namespace

// The library's default handler for an uncaught exception pulls in the C++
// demangler (about 45 KB) only to print a name nobody sees in a GUI program.
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    platform::hardenDllSearch();
    declareDpiAware();
    const platform::UniqueLibrary comctl = loadCommonControls();
    platform::Win32Bindings bindings;
    platform::MainWindow window(instance, bindings);
    if (!window.create(showCommand)) return 1;
    return window.run();
}
