#include "system/process_setup.h"
#include <windows.h>

#include "system/system_paths.h"

namespace platform {

// Per monitor, version 2, where Windows has it (10 1703 and later): the
// window follows each monitor's scale, and Windows scales its frame and
// message boxes with it. Otherwise the system's DPI, as before; never
// version 1, which leaves the title bar and message boxes unscaled.
void declareDpiAware() {
    const HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
    using SetContextFn = BOOL(WINAPI*)(HANDLE);
    const auto setContext = bindExport<SetContextFn>(user32, "SetProcessDpiAwarenessContext");
    const auto perMonitorV2 = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4));
    if (setContext && setContext(perMonitorV2)) return;
    using SetProcessDPIAwareFn = BOOL(WINAPI*)();
    const auto setAware = bindExport<SetProcessDPIAwareFn>(user32, "SetProcessDPIAware");
    if (setAware) setAware();
}

void disableInputMethod() {
    using ImmDisableIMEFn = BOOL(WINAPI*)(DWORD);
    const auto disable =
        bindExport<ImmDisableIMEFn>(::GetModuleHandleW(L"imm32.dll"), "ImmDisableIME");
    if (disable) disable(0);
}

}  // namespace platform
