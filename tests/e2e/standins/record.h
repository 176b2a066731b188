// Appends one line to the file named by E2E_RECORD, in UTF-8, so a test can
// see what ran and how it was started.
#pragma once

#include <windows.h>

#include <string>

inline void appendRecord(const std::wstring& line) {
    wchar_t path[MAX_PATH];
    if (!GetEnvironmentVariableW(L"E2E_RECORD", path, MAX_PATH)) return;
    const std::wstring text = line + L"\n";
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()),
                                          nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), utf8.data(), bytes,
                        nullptr, nullptr);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const HANDLE file = CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                        OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            WriteFile(file, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
            CloseHandle(file);
            return;
        }
        Sleep(10);  // another recorder has it open
    }
}

inline std::wstring ownPath(HMODULE module) {
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(module, path, MAX_PATH);
    return std::wstring(path, length);
}
