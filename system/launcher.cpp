#include "system/launcher.h"
#include <windows.h>

#include "system/system_paths.h"
#include "system/text.h"
#include "win32/handles.h"

namespace platform {

std::wstring systemProgramPath(const std::wstring& commandLine) {
    const std::wstring program = commandLine.substr(0, commandLine.find(L' '));
    if (::lstrcmpiW(program.c_str(), L"explorer.exe") == 0) {
        return windowsDirectory() + L"\\explorer.exe";
    }
    if (::lstrcmpiW(program.c_str(), L"rundll32.exe") == 0) {
        // Native, so that a 32-bit tool on 64-bit Windows hosts the dialog natively.
        return nativeSystemDirectory() + L"\\rundll32.exe";
    }
    return {};
}

void launchSystemProgram(const std::wstring& commandLine, app::WindowStyle style) {
    const std::wstring program = systemProgramPath(commandLine);
    if (program.empty()) {
        throw app::HostError(L"无法启动 " + commandLine, systemErrorText(ERROR_FILE_NOT_FOUND));
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(
        style == app::WindowStyle::NormalFocus ? SW_SHOWNORMAL : SW_SHOWMINIMIZED);
    std::wstring arguments = commandLine;  // CreateProcessW may write into it
    // Started in the system directory: inheriting ours could hold the very
    // stick the user wants to remove.
    const std::wstring directory = systemDirectory();
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(program.c_str(), arguments.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          directory.c_str(), &startup, &info)) {
        const DWORD error = ::GetLastError();
        throw app::HostError(L"无法启动 " + program, systemErrorText(error));
    }
    const win32::UniqueHandle process(info.hProcess);
    const win32::UniqueHandle thread(info.hThread);
}

}  // namespace platform
