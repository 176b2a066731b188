#include "system/win32_bindings.h"

#include <cstring>
#include <string>
#include <tlhelp32.h>

#include "system/system_paths.h"
#include "system/text.h"
#include "win32/bind_export.h"

namespace platform {
namespace {

HMODULE kernel32() { return ::GetModuleHandleW(L"kernel32.dll"); }
HMODULE user32() { return ::GetModuleHandleW(L"user32.dll"); }

HANDLE asHandle(app::KernelHandle handle) { return reinterpret_cast<HANDLE>(handle); }
app::KernelHandle fromHandle(HANDLE handle) { return reinterpret_cast<app::KernelHandle>(handle); }

std::wstring widen(const char* ascii) {
    return std::wstring(ascii, ascii + std::char_traits<char>::length(ascii));
}

}  // namespace

template <typename F>
F Win32Bindings::required(F& slot, HMODULE module, const wchar_t* library, const char* name) {
    if (!slot) {
        const DWORD error = module ? ERROR_PROC_NOT_FOUND : ERROR_MOD_NOT_FOUND;
        slot = win32::bindExport<F>(module, name);
        if (!slot) {
            throw app::HostError(L"无法在 " + std::wstring(library) + L" 中找到 " + widen(name),
                                 systemErrorText(error));
        }
    }
    return slot;
}

std::uint32_t Win32Bindings::timeGetTime() {
    if (!timeGetTime_ && !winmm_) winmm_ = loadSystemLibrary(L"winmm.dll");
    return required(timeGetTime_, winmm_.get(), L"winmm.dll", "timeGetTime")();
}

std::int32_t Win32Bindings::getWindowLongA(app::WindowHandle window, int index) {
    return required(getWindowLongA_, user32(), L"user32", "GetWindowLongA")(
        reinterpret_cast<HWND>(window), index);
}

std::int32_t Win32Bindings::setWindowLongA(app::WindowHandle window, int index,
                                           std::int32_t value) {
    return required(setWindowLongA_, user32(), L"user32", "SetWindowLongA")(
        reinterpret_cast<HWND>(window), index, value);
}

app::KernelHandle Win32Bindings::createToolhelp32Snapshot(std::uint32_t flags,
                                                          std::uint32_t processId) {
    return fromHandle(required(createSnapshot_, kernel32(), L"Kernel32",
                               "CreateToolhelp32Snapshot")(flags, processId));
}

// The ANSI entry points take the 296-byte 32-bit layout of app::ProcessEntry32A.
// A 64-bit build (the end-to-end tests on a kernel without 32-bit support)
// hands the system its own, wider record and copies the fields across.
int Win32Bindings::walkProcesses(BOOL(WINAPI*& slot)(HANDLE, void*), const char* name,
                                 app::KernelHandle snapshot, app::ProcessEntry32A* entry) {
    const auto call = required(slot, kernel32(), L"Kernel32", name);
    if constexpr (sizeof(void*) == 4) {
        return call(asHandle(snapshot), entry);
    } else {
        tagPROCESSENTRY32 native{};  // the ANSI record, whatever UNICODE says
        native.dwSize = entry->dwSize == sizeof *entry ? sizeof native : entry->dwSize;
        const BOOL found = call(asHandle(snapshot), &native);
        if (found) {
            entry->cntUsage = native.cntUsage;
            entry->th32ProcessID = native.th32ProcessID;
            entry->th32DefaultHeapID = static_cast<std::uint32_t>(native.th32DefaultHeapID);
            entry->th32ModuleID = native.th32ModuleID;
            entry->cntThreads = native.cntThreads;
            entry->th32ParentProcessID = native.th32ParentProcessID;
            entry->pcPriClassBase = native.pcPriClassBase;
            entry->dwFlags = native.dwFlags;
            static_assert(sizeof entry->szExeFile == sizeof native.szExeFile);
            std::memcpy(entry->szExeFile, native.szExeFile, sizeof native.szExeFile);
        }
        return found;
    }
}

int Win32Bindings::process32First(app::KernelHandle snapshot, app::ProcessEntry32A* entry) {
    return walkProcesses(process32First_, "Process32First", snapshot, entry);
}

int Win32Bindings::process32Next(app::KernelHandle snapshot, app::ProcessEntry32A* entry) {
    return walkProcesses(process32Next_, "Process32Next", snapshot, entry);
}

app::KernelHandle Win32Bindings::openProcess(std::uint32_t access, int inherit,
                                             std::uint32_t processId) {
    return fromHandle(
        required(openProcess_, kernel32(), L"Kernel32", "OpenProcess")(access, inherit, processId));
}

int Win32Bindings::terminateProcess(app::KernelHandle process, std::uint32_t exitCode) {
    return required(terminateProcess_, kernel32(), L"Kernel32", "TerminateProcess")(
        asHandle(process), exitCode);
}

int Win32Bindings::closeHandle(app::KernelHandle handle) {
    return required(closeHandle_, kernel32(), L"Kernel32", "CloseHandle")(asHandle(handle));
}

std::int32_t Win32Bindings::skinAttachEx(const char* skinPath, const char* password) {
    // The skin is only a look: without the library or its entry point the
    // window keeps the default look and nothing is reported.
    if (!skinTried_) {
        skinTried_ = true;
        skin_ = loadProgramLibrary(L"SkinH_VB6.dll");
        skinAttachEx_ = win32::bindExport<decltype(skinAttachEx_)>(skin_.get(), "SkinH_AttachEx");
    }
    return skinAttachEx_ ? skinAttachEx_(skinPath, password) : 0;
}

std::string Win32Bindings::toAnsi(const std::wstring& text) { return platform::toAnsi(text); }

std::wstring Win32Bindings::fromAnsi(const char* text, std::size_t length) {
    return platform::fromAnsi(text, length);
}

}  // namespace platform
