#include "app/kill_process.h"

#include <cstring>

namespace app {
namespace {

// Closes a kernel handle through the bound CloseHandle when it leaves scope,
// whatever its value: the walk closes even a handle that OpenProcess refused.
class ScopedKernelHandle {
  public:
    ScopedKernelHandle(Bindings& api, KernelHandle handle) : api_(api), handle_(handle) {}
    ScopedKernelHandle(const ScopedKernelHandle&) = delete;
    ScopedKernelHandle& operator=(const ScopedKernelHandle&) = delete;
    ~ScopedKernelHandle() { api_.closeHandle(handle_); }
    KernelHandle get() const { return handle_; }

  private:
    Bindings& api_;
    KernelHandle handle_;
};

// Letters outside ASCII are left as they are: the names asked for are ASCII.
std::wstring lowerAscii(std::wstring text) {
    for (auto& c : text) {
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    }
    return text;
}

// The name up to its first NUL; a field with no NUL is taken whole.
std::wstring imageNameOf(Bindings& api, const ProcessEntry32A& entry) {
    const void* nul = std::memchr(entry.szExeFile, 0, sizeof entry.szExeFile);
    const std::size_t length =
        nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - entry.szExeFile)
            : sizeof entry.szExeFile;
    return api.fromAnsi(entry.szExeFile, length);
}

}  // namespace

void KillProcess(Bindings& api, const std::wstring& imageName) {
    const KernelHandle snapshot = api.createToolhelp32Snapshot(kTh32csSnapProcess, 0);
    if (snapshot == kInvalidHandleValue) return;
    const ScopedKernelHandle snapshotGuard(api, snapshot);

    const std::wstring wanted = lowerAscii(imageName);
    ProcessEntry32A entry{};
    entry.dwSize = sizeof entry;
    for (int more = api.process32First(snapshot, &entry); more != 0;
         more = api.process32Next(snapshot, &entry)) {
        if (lowerAscii(imageNameOf(api, entry)) != wanted) continue;
        // PROCESS_TERMINATE only; the results are not examined: a process
        // that cannot be opened (another user's, or already gone) stays.
        const ScopedKernelHandle process(
            api, api.openProcess(kProcessTerminate, 0, entry.th32ProcessID));
        api.terminateProcess(process.get(), 0);
    }
}

}  // namespace app
