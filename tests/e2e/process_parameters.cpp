#include "tests/e2e/process_parameters.h"

#include <winternl.h>

namespace e2e {
namespace {

// The head of the system's process parameters, up to the current directory;
// the layout is the same in every version since Windows 2000.
struct ParametersHead {
    ULONG maximumLength;
    ULONG length;
    ULONG flags;
    ULONG debugFlags;
    HANDLE consoleHandle;
    ULONG consoleFlags;
    HANDLE standardInput;
    HANDLE standardOutput;
    HANDLE standardError;
    UNICODE_STRING currentDirectory;
    HANDLE currentDirectoryHandle;
};

template <typename T>
bool readRemote(HANDLE process, const void* address, T& out) {
    SIZE_T got = 0;
    return ReadProcessMemory(process, address, &out, sizeof out, &got) && got == sizeof out;
}

}  // namespace

std::wstring currentDirectoryOf(HANDLE process) {
    using QueryFn = NTSTATUS(NTAPI*)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);
    const auto query = reinterpret_cast<QueryFn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationProcess")));
    PROCESS_BASIC_INFORMATION basic{};
    if (!query || query(process, ProcessBasicInformation, &basic, sizeof basic, nullptr) != 0)
        return {};
    PEB peb{};
    ParametersHead head{};
    if (!readRemote(process, basic.PebBaseAddress, peb) ||
        !readRemote(process, peb.ProcessParameters, head)) {
        return {};
    }
    std::wstring text(head.currentDirectory.Length / sizeof(wchar_t), L'\0');
    SIZE_T got = 0;
    if (!ReadProcessMemory(process, head.currentDirectory.Buffer, text.data(),
                           head.currentDirectory.Length, &got) ||
        got != head.currentDirectory.Length) {
        return {};
    }
    return text;
}

}  // namespace e2e
