// Stands in for a launched system program: records its own path, its command
// line, the show state it was given and its current directory, then exits.
#include "record.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    GetStartupInfoW(&startup);
    const int show = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : -1;
    wchar_t directory[MAX_PATH];
    const DWORD length = GetCurrentDirectoryW(MAX_PATH, directory);
    appendRecord(L"launch\t" + ownPath(nullptr) + L"\t" + GetCommandLineW() + L"\t" +
                 std::to_wstring(show) + L"\t" + std::wstring(directory, length));
    return 0;
}
