#include "tests/support/remote_status_bar.h"

#include <commctrl.h>
#include <cstring>
#include <vector>

#include "win32/handles.h"

namespace support {
namespace {

// Long enough for a busy machine; short of the test's own time-out.
constexpr UINT kAnswerTimeoutMs = 30000;

bool ask(HWND target, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR* answer) {
    return SendMessageTimeoutW(target, message, wParam, lParam, SMTO_NORMAL, kAnswerTimeoutMs,
                               answer) != 0;
}

}  // namespace

std::vector<char> askIntoRemoteBuffer(HWND target, DWORD processId, UINT message, WPARAM wParam,
                                      size_t bytes) {
    const win32::UniqueHandle process(
        OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId));
    if (!process) return {};
    void* remote = VirtualAllocEx(process.get(), nullptr, bytes, MEM_COMMIT, PAGE_READWRITE);
    if (!remote) return {};
    std::vector<char> result(bytes, 0);
    DWORD_PTR answer = 0;
    SIZE_T read = 0;
    if (!ask(target, message, wParam, reinterpret_cast<LPARAM>(remote), &answer) ||
        !ReadProcessMemory(process.get(), remote, result.data(), bytes, &read) || read != bytes) {
        result.clear();
    }
    VirtualFreeEx(process.get(), remote, 0, MEM_RELEASE);
    return result;
}

std::wstring statusBarText(HWND bar, DWORD processId, int part) {
    const auto index = static_cast<WPARAM>(part);
    DWORD_PTR answer = 0;
    if (!ask(bar, SB_GETTEXTLENGTHW, index, 0, &answer)) return {};
    const size_t length = LOWORD(answer);
    const std::vector<char> bytes =
        askIntoRemoteBuffer(bar, processId, SB_GETTEXTW, index, (length + 1) * sizeof(wchar_t));
    if (bytes.empty()) return {};
    std::wstring text(length, L'\0');
    std::memcpy(text.data(), bytes.data(), length * sizeof(wchar_t));
    return text;
}

RECT statusBarRect(HWND bar, DWORD processId, int part) {
    const std::vector<char> bytes =
        askIntoRemoteBuffer(bar, processId, SB_GETRECT, static_cast<WPARAM>(part), sizeof(RECT));
    RECT r{};
    if (!bytes.empty()) std::memcpy(&r, bytes.data(), sizeof r);
    return r;
}

}  // namespace support
