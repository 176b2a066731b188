// Waits until the program's window is on the screen and drawn, so that a
// screenshot shows it whole (scripts/screenshot.sh). Drawn means: the window
// is visible, its process has gone idle (a thread's first wait for input
// with nothing queued comes after the paints the system had queued for it),
// and neither the window nor any control has a part still waiting to be
// painted.
//
// Usage: await_drawn.exe [timeout in ms, default 30000]. Exit code 0 once
// drawn; 1, with a line on standard error, when the time runs out first.
#include <windows.h>

#include <cstdio>
#include <cwchar>

#include "tests/support/program_under_test.h"
#include "tests/support/wait.h"
#include "win32/handles.h"

namespace {

BOOL CALLBACK findUnpainted(HWND control, LPARAM found) {
    if (!::GetUpdateRect(control, nullptr, FALSE)) return TRUE;
    *reinterpret_cast<bool*>(found) = true;
    return FALSE;
}

bool waitingForPaint(HWND window) {
    bool found = ::GetUpdateRect(window, nullptr, FALSE) != FALSE;
    if (!found) ::EnumChildWindows(window, findUnpainted, reinterpret_cast<LPARAM>(&found));
    return found;
}

int fail(const char* what) {
    std::fprintf(stderr, "await_drawn: %s\n", what);
    return 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const DWORD timeoutMs = argc > 1 ? std::wcstoul(argv[1], nullptr, 10) : 30000;
    HWND window = nullptr;
    if (!support::waitUntil(
            [&] {
                window = ::FindWindowW(support::kProgramWindowClass, nullptr);
                return window && ::IsWindowVisible(window);
            },
            timeoutMs)) {
        return fail("the program's window did not appear");
    }
    DWORD processId = 0;
    ::GetWindowThreadProcessId(window, &processId);
    const win32::UniqueHandle process(
        ::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, processId));
    if (!process || ::WaitForInputIdle(process.get(), timeoutMs) != 0) {
        return fail("the program did not go idle");
    }
    if (!support::waitUntil([&] { return !waitingForPaint(window); }, timeoutMs)) {
        return fail("the window was not painted");
    }
    return 0;
}
