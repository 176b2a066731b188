#include "tests/support/files.h"

#include <array>

#include "tests/support/text.h"
#include "tests/support/wait.h"
#include "win32/handles.h"

namespace support {
namespace {

void findClose(HANDLE search) { FindClose(search); }
// Null for failure, as the owner takes it; FindFirstFileW gives
// INVALID_HANDLE_VALUE.
using UniqueFind = win32::UniqueResource<HANDLE, nullptr, findClose>;

UniqueFind findFirst(const std::wstring& pattern, WIN32_FIND_DATAW& found) {
    const HANDLE search = FindFirstFileW(pattern.c_str(), &found);
    return UniqueFind(search == INVALID_HANDLE_VALUE ? nullptr : search);
}

bool busy(DWORD error) {
    return error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED ||
           error == ERROR_LOCK_VIOLATION;
}

// True when the folder is gone; what cannot be removed yet stays.
bool removeTree(const std::wstring& path) {
    WIN32_FIND_DATAW found{};
    if (const UniqueFind search = findFirst(path + L"\\*", found)) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring child = path + L"\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                removeTree(child);
            } else {
                SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(child.c_str());
            }
        } while (FindNextFileW(search.get(), &found));
    }
    return RemoveDirectoryW(path.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND ||
           GetLastError() == ERROR_PATH_NOT_FOUND;
}

}  // namespace

std::wstring moduleDir() {
    std::array<wchar_t, MAX_PATH> path{};
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), MAX_PATH);
    const std::wstring text(path.data(), length);
    return text.substr(0, text.find_last_of(L"\\/"));
}

std::wstring systemDir() {
    std::array<wchar_t, MAX_PATH> path{};
    const UINT length = GetSystemDirectoryW(path.data(), MAX_PATH);
    return std::wstring(path.data(), length);
}

std::wstring windowsDir() {
    std::array<wchar_t, MAX_PATH> path{};
    const UINT length = GetSystemWindowsDirectoryW(path.data(), MAX_PATH);
    return std::wstring(path.data(), length);
}

std::wstring fileNameOf(const std::wstring& path) {
    return path.substr(path.find_last_of(L"\\/") + 1);
}

bool sameFile(const std::wstring& a, const std::wstring& b) {
    return _wcsicmp(a.c_str(), b.c_str()) == 0;
}

bool copyFile(const std::wstring& from, const std::wstring& to, DWORD* error) {
    DWORD last = ERROR_SUCCESS;
    waitUntil(
        [&] {
            last = CopyFileW(from.c_str(), to.c_str(), FALSE) ? ERROR_SUCCESS : GetLastError();
            return !busy(last);  // nothing else changes by waiting
        },
        5000);
    if (last == ERROR_SUCCESS) return true;
    if (error) *error = last;
    return false;
}

std::string readFileBytes(const std::wstring& path) {
    const win32::UniqueHandle file = win32::ownFileHandle(
        CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return {};
    std::string bytes;
    std::array<char, 4096> chunk{};
    DWORD got = 0;
    while (ReadFile(file.get(), chunk.data(), static_cast<DWORD>(chunk.size()), &got, nullptr) &&
           got > 0) {
        bytes.append(chunk.data(), got);
    }
    return bytes;
}

std::wstring readUtf8File(const std::wstring& path) { return widen(readFileBytes(path)); }

long long fileSize(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return -1;
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

TempDir::TempDir(const std::wstring& name) {
    static int counter = 0;
    std::array<wchar_t, MAX_PATH> temp{};
    GetTempPathW(MAX_PATH, temp.data());
    std::wstring base = temp.data();
    if (!base.empty() && base.back() == L'\\') base.pop_back();
    path_ = base + L"\\" + name + L"-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
            std::to_wstring(++counter) + L"-" + std::to_wstring(GetTickCount64() % 100000);
    CreateDirectoryW(path_.c_str(), nullptr);
}

// A process that has just ended may keep its file, or the folder as its
// current directory, for a moment.
TempDir::~TempDir() {
    waitUntil([&] { return removeTree(path_); }, 5000);
}

}  // namespace support
