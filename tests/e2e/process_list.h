// The running processes of an image name, as a Toolhelp walk sees them;
// shared by the end-to-end tests and the benchmark driver.
#pragma once

#include <windows.h>

#include <tlhelp32.h>
#include <vector>

namespace e2e {

inline std::vector<DWORD> processIdsNamed(const wchar_t* imageName) {
    std::vector<DWORD> ids;
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return ids;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more;
         more = Process32NextW(snapshot, &entry)) {
        if (_wcsicmp(entry.szExeFile, imageName) == 0) ids.push_back(entry.th32ProcessID);
    }
    CloseHandle(snapshot);
    return ids;
}

}  // namespace e2e
