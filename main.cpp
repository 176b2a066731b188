// Start-up: close the DLL-planting doors, show the window and run until it is
// gone.
#include <windows.h>

#include <cstdlib>

#include "system/process_setup.h"
#include "system/system_paths.h"
#include "system/win32_bindings.h"
#include "window/main_window.h"

// The library's default handler for an uncaught exception pulls in the C++
// demangler (about 45 KB) only to print a name nobody sees in a GUI program.
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    platform::hardenDllSearch();
    platform::leaveStartDirectory();
    platform::declareDpiAware();
    platform::disableInputMethod();
    platform::Win32Bindings bindings;
    platform::MainWindow window(instance, bindings);
    if (!window.create(showCommand)) return 1;
    return window.run();
}
