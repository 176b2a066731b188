#include "system/process_setup.h"
#include <windows.h>

#include "system/system_paths.h"
#include "win32/bind_export.h"

namespace platform {

void declareDpiAware() {
    const HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
    declareDpiAware(
        {win32::bindExport<int(WINAPI*)(void*)>(user32, "SetProcessDpiAwarenessContext"),
         win32::bindExport<int(WINAPI*)()>(user32, "SetProcessDPIAware")});
}

void disableInputMethod() {
    using ImmDisableIMEFn = BOOL(WINAPI*)(DWORD);
    const auto disable =
        win32::bindExport<ImmDisableIMEFn>(::GetModuleHandleW(L"imm32.dll"), "ImmDisableIME");
    if (disable) disable(0);
}

}  // namespace platform
