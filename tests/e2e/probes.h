// Looks at the system from outside the program: shared by the end-to-end
// tests and the benchmark driver.
#pragma once

#include <windows.h>

#include <array>
#include <string>
#include <tlhelp32.h>
#include <vector>

namespace e2e {

// The running processes of an image name, as a Toolhelp walk sees them.
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

// A file's bytes, read while others may still be writing it.
inline std::string readFileBytes(const std::wstring& path) {
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    std::string bytes;
    std::array<char, 4096> chunk{};
    DWORD got = 0;
    while (ReadFile(file, chunk.data(), static_cast<DWORD>(chunk.size()), &got, nullptr) &&
           got > 0) {
        bytes.append(chunk.data(), got);
    }
    CloseHandle(file);
    return bytes;
}

}  // namespace e2e
