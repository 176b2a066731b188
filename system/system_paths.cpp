#include "system/system_paths.h"

#include "system/path_text.h"
#include "system/text.h"
#include "win32/bind_export.h"

namespace platform {
namespace {

template <typename Getter>
std::wstring directoryFrom(Getter getter) {
    std::wstring path(MAX_PATH, L'\0');
    UINT length = getter(path.data(), static_cast<UINT>(path.size()));
    if (length >= path.size()) {
        path.resize(length);
        length = getter(path.data(), static_cast<UINT>(path.size()));
    }
    path.resize(length < path.size() ? length : 0);
    return path;
}

bool isWow64() {
    using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, PBOOL);
    const auto isWow64Process =
        win32::bindExport<IsWow64ProcessFn>(::GetModuleHandleW(L"kernel32.dll"), "IsWow64Process");
    BOOL wow64 = FALSE;
    return isWow64Process && isWow64Process(::GetCurrentProcess(), &wow64) && wow64;
}

}  // namespace

std::wstring systemDirectory() { return directoryFrom(::GetSystemDirectoryW); }

std::wstring windowsDirectory() { return directoryFrom(::GetSystemWindowsDirectoryW); }

std::wstring nativeSystemDirectory() {
    return isWow64() ? windowsDirectory() + L"\\Sysnative" : systemDirectory();
}

std::wstring programDirectory() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    return folderOf(path);
}

// A folder named in another script (Chinese on a Western system) would lose
// its characters in the ANSI code page; its short name names the same folder
// in plain ASCII.
std::wstring ansiSafePath(const std::wstring& path) {
    if (fitsAnsi(path)) return path;
    std::wstring shortName(MAX_PATH, L'\0');
    DWORD length =
        ::GetShortPathNameW(path.c_str(), shortName.data(), static_cast<DWORD>(shortName.size()));
    if (length >= shortName.size()) {
        shortName.resize(length);
        length = ::GetShortPathNameW(path.c_str(), shortName.data(),
                                     static_cast<DWORD>(shortName.size()));
    }
    shortName.resize(length < shortName.size() ? length : 0);
    return !shortName.empty() && fitsAnsi(shortName) ? shortName : path;
}

win32::UniqueLibrary loadSystemLibrary(const wchar_t* name) {
    const std::wstring path = systemDirectory() + L"\\" + name;
    return win32::UniqueLibrary(
        ::LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
}

HMODULE keepSystemLibrary(const wchar_t* name) {
    const win32::UniqueLibrary library = loadSystemLibrary(name);
    HMODULE kept = nullptr;
    if (!library || !::GetModuleHandleExW(
                        GET_MODULE_HANDLE_EX_FLAG_PIN | GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                        reinterpret_cast<LPCWSTR>(library.get()), &kept)) {
        return nullptr;
    }
    return kept;
}

win32::UniqueLibrary loadProgramLibrary(const wchar_t* name) {
    const std::wstring path = pathIn(programDirectory(), name);
    return win32::UniqueLibrary(
        ::LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
}

void hardenDllSearch() {
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    constexpr DWORD kSearchSystem32 = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32
    const auto setDefault = win32::bindExport<SetDefaultDllDirectoriesFn>(
        ::GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories");
    if (setDefault) setDefault(kSearchSystem32);
    ::SetDllDirectoryW(L"");
}

void leaveStartDirectory() { ::SetCurrentDirectoryW(systemDirectory().c_str()); }

}  // namespace platform
