#include "tests/e2e/inprocess_window.h"

#include <commctrl.h>

#include "resources/form1_design.h"
#include "system/process_setup.h"
#include "window/status_bar.h"

namespace e2e {
namespace {

constexpr wchar_t kWindowClass[] = L"ZelkUsbTool.Form1";
constexpr std::uint32_t kTimeSpeed = 20;

BOOL CALLBACK takeFirstWindow(HWND window, LPARAM found) {
    wchar_t name[64]{};
    ::GetClassNameW(window, name, 64);
    if (::lstrcmpW(name, kWindowClass) != 0) return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

}  // namespace

QuickBindings::QuickBindings() : start_(real_.timeGetTime()) {}

std::uint32_t QuickBindings::timeGetTime() {
    return start_ + (real_.timeGetTime() - start_) * kTimeSpeed;
}

std::int32_t QuickBindings::getWindowLongA(app::WindowHandle window, int index) {
    return real_.getWindowLongA(window, index);
}

std::int32_t QuickBindings::setWindowLongA(app::WindowHandle window, int index,
                                           std::int32_t value) {
    return real_.setWindowLongA(window, index, value);
}

app::KernelHandle QuickBindings::createToolhelp32Snapshot(std::uint32_t, std::uint32_t) {
    return app::kInvalidHandleValue;
}

std::int32_t QuickBindings::skinAttachEx(const char* skinPath, const char* password) {
    return real_.skinAttachEx(skinPath, password);
}

std::string QuickBindings::toAnsi(const std::wstring& text) { return real_.toAnsi(text); }

std::wstring QuickBindings::fromAnsi(const char* text, std::size_t length) {
    return real_.fromAnsi(text, length);
}

InProcessWindow::InProcessWindow() : InProcessWindow(bindings_) {}

InProcessWindow::InProcessWindow(app::Bindings& bindings)
    : main_(std::make_unique<platform::MainWindow>(::GetModuleHandleW(nullptr), bindings)) {
    // Laid out at the system's DPI, as the program's window is.
    platform::declareDpiAware();
    if (!main_->create(SW_SHOWNORMAL)) return;
    ::EnumThreadWindows(::GetCurrentThreadId(), takeFirstWindow,
                        reinterpret_cast<LPARAM>(&window_));
}

InProcessWindow::~InProcessWindow() {
    main_.reset();
    MSG message{};
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message != WM_QUIT) ::DispatchMessageW(&message);
    }
    ::UnregisterClassW(kWindowClass, ::GetModuleHandleW(nullptr));
    ::UnregisterClassW(platform::kStatusBarClass, ::GetModuleHandleW(nullptr));
}

RECT InProcessWindow::rect(int id) const {
    RECT r{};
    ::GetWindowRect(control(id), &r);
    ::MapWindowPoints(HWND_DESKTOP, window_, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

void InProcessWindow::click(int id) const {
    ::SendMessageW(window_, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                   reinterpret_cast<LPARAM>(control(id)));
}

ScriptedBoxes::ScriptedBoxes(std::initializer_list<std::pair<const UINT, int>> answers)
    : answers_(answers),
      replaced_(::GetModuleHandleW(nullptr), "user32.dll", "MessageBoxW",
                reinterpret_cast<void*>(&messageBox)) {
    current_ = this;
}

ScriptedBoxes::~ScriptedBoxes() { current_ = nullptr; }

int WINAPI ScriptedBoxes::messageBox(HWND, LPCWSTR, LPCWSTR, UINT flags) {
    if (!current_) return IDCANCEL;
    current_->asked_.push_back(flags);
    const auto answer = current_->answers_.find(flags);
    return answer == current_->answers_.end() ? IDCANCEL : answer->second;
}

RecordedLaunches::RecordedLaunches()
    : replaced_(::GetModuleHandleW(nullptr), "kernel32.dll", "CreateProcessW",
                reinterpret_cast<void*>(&createProcess)) {
    current_ = this;
}

RecordedLaunches::~RecordedLaunches() { current_ = nullptr; }

// Handles of the caller's own to close, as a real launch gives.
BOOL WINAPI RecordedLaunches::createProcess(LPCWSTR, LPWSTR commandLine, LPSECURITY_ATTRIBUTES,
                                            LPSECURITY_ATTRIBUTES, BOOL, DWORD, LPVOID, LPCWSTR,
                                            LPSTARTUPINFOW, LPPROCESS_INFORMATION info) {
    if (current_) current_->commandLines_.emplace_back(commandLine ? commandLine : L"");
    *info = {};
    info->hProcess = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    info->hThread = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    return TRUE;
}

std::wstring statusPanelText(HWND bar, int part) {
    std::wstring text(LOWORD(::SendMessageW(bar, SB_GETTEXTLENGTHW, part, 0)), L'\0');
    ::SendMessageW(bar, SB_GETTEXTW, part, reinterpret_cast<LPARAM>(text.data()));
    return text;
}

namespace {

// Looks at the log from inside the repair's pauses: a thread timer, which
// the pauses' own message handling runs.
struct LogWatch {
    static inline HWND log = nullptr;
    static inline int seen = 0;
    static inline const std::function<void(int)>* atLines = nullptr;

    static void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD) {
        if (!log || !::IsWindow(log) || !atLines) return;
        const int lines = static_cast<int>(::SendMessageW(log, LB_GETCOUNT, 0, 0));
        if (lines == seen) return;
        seen = lines;
        (*atLines)(lines);
    }
};

}  // namespace

void runForcedRepair(const InProcessWindow& form, const std::function<void(int)>& atLines) {
    LogWatch::log = form.control(design::kList1);
    LogWatch::seen = static_cast<int>(::SendMessageW(LogWatch::log, LB_GETCOUNT, 0, 0));
    LogWatch::atLines = &atLines;
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 5, LogWatch::tick);
    form.click(design::kCommand4);
    ::KillTimer(nullptr, timer);
    LogWatch::atLines = nullptr;
    LogWatch::log = nullptr;
}

}  // namespace e2e
