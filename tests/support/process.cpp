#include "tests/support/process.h"

#include <tlhelp32.h>

#include "tests/support/wait.h"
#include "win32/handles.h"

namespace support {

Process& Process::operator=(Process&& other) noexcept {
    terminate();
    handle_ = std::move(other.handle_);
    id_ = other.id_;
    return *this;
}

bool Process::running() const {
    return handle_ && WaitForSingleObject(handle_.get(), 0) == WAIT_TIMEOUT;
}

bool Process::waitForExit(DWORD timeoutMs) const {
    return handle_ && WaitForSingleObject(handle_.get(), timeoutMs) == WAIT_OBJECT_0;
}

DWORD Process::exitCode() const {
    DWORD code = STILL_ACTIVE;
    if (handle_) GetExitCodeProcess(handle_.get(), &code);
    return code;
}

ULONGLONG Process::exitTime() const {
    if (!handle_ || running()) return 0;
    FILETIME created{}, exited{}, kernel{}, user{};
    if (!GetProcessTimes(handle_.get(), &created, &exited, &kernel, &user)) return 0;
    return ULARGE_INTEGER{{exited.dwLowDateTime, exited.dwHighDateTime}}.QuadPart;
}

void Process::terminate() {
    if (!running()) return;
    TerminateProcess(handle_.get(), 1);
    WaitForSingleObject(handle_.get(), 5000);
}

Process startProcess(const std::wstring& path, const std::wstring& directory,
                     std::vector<wchar_t>* environment, DWORD* error) {
    std::wstring commandLine = L"\"" + path + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                        environment ? CREATE_UNICODE_ENVIRONMENT : 0,
                        environment ? environment->data() : nullptr,
                        directory.empty() ? nullptr : directory.c_str(), &startup, &info)) {
        if (error) *error = GetLastError();
        return {};
    }
    const win32::UniqueHandle thread(info.hThread);
    return Process(info.hProcess, info.dwProcessId);
}

std::vector<DWORD> processesNamed(const std::wstring& imageName) {
    std::vector<DWORD> ids;
    const win32::UniqueHandle snapshot =
        win32::ownFileHandle(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return ids;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more;
         more = Process32NextW(snapshot.get(), &entry)) {
        if (_wcsicmp(entry.szExeFile, imageName.c_str()) == 0) ids.push_back(entry.th32ProcessID);
    }
    return ids;
}

std::wstring imagePathOf(DWORD processId) {
    const win32::UniqueHandle process(
        OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    std::wstring path(MAX_PATH, L'\0');
    auto length = static_cast<DWORD>(path.size());
    if (!process || !QueryFullProcessImageNameW(process.get(), 0, path.data(), &length)) return {};
    path.resize(length);
    return path;
}

bool endProcessesNamed(const std::wstring& imageName) {
    for (const DWORD id : processesNamed(imageName)) {
        const win32::UniqueHandle process(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id));
        if (!process) continue;
        TerminateProcess(process.get(), 1);
        WaitForSingleObject(process.get(), 5000);
    }
    // A process that is ending can linger in the list for a moment.
    return waitUntil([&] { return processesNamed(imageName).empty(); }, 5000);
}

}  // namespace support
