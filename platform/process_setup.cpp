#include "platform/process_setup.h"
#include <windows.h>

#include "platform/system_paths.h"

namespace platform {

void declareDpiAware() {
    using SetProcessDPIAwareFn = BOOL(WINAPI*)();
    const auto setAware =
        bindExport<SetProcessDPIAwareFn>(::GetModuleHandleW(L"user32.dll"), "SetProcessDPIAware");
    if (setAware) setAware();
}

void disableInputMethod() {
    using ImmDisableIMEFn = BOOL(WINAPI*)(DWORD);
    const auto disable =
        bindExport<ImmDisableIMEFn>(::GetModuleHandleW(L"imm32.dll"), "ImmDisableIME");
    if (disable) disable(0);
}

}  // namespace platform
