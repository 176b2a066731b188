#include "window/win32_host.h"

#include <algorithm>
#include <array>
#include <commctrl.h>

#include "app/texts.h"
#include "resources/form1_design.h"
#include "system/launcher.h"
#include "system/system_paths.h"
#include "system/text.h"
#include "win32/handles.h"

namespace platform {
namespace {

// The clipboard may be held open by another program for a moment.
constexpr ULONGLONG kClipboardBudgetMs = 500;
constexpr ULONGLONG kClipboardRetryMs = 20;

constexpr wchar_t kNoControl[] = L"窗口上已没有这个控件";
constexpr wchar_t kControlRefused[] = L"控件拒绝了这项操作";

int idOf(app::Button button) {
    switch (button) {
        case app::Button::Command1:
            return design::kCommand1;
        case app::Button::Command2:
            return design::kCommand2;
        case app::Button::Command3:
            return design::kCommand3;
        case app::Button::Command4:
            return design::kCommand4;
        case app::Button::Command5:
            return design::kCommand5;
    }
    return 0;
}

}  // namespace

HWND Win32Host::control(int id) const { return window_ ? ::GetDlgItem(window_, id) : nullptr; }

void Win32Host::dispatch(MSG& message) {
    // The window has no cancel button, so Esc means nothing here. Dropped
    // before the dialog manager turns it into IDCANCEL and before the notes
    // box, a multi-line edit, answers it by posting WM_CLOSE to the window.
    const bool ours = window_ && (message.hwnd == window_ || ::IsChild(window_, message.hwnd));
    if (ours && message.message == WM_KEYDOWN && message.wParam == VK_ESCAPE) return;
    if (ours && ::IsDialogMessageW(window_, &message)) return;
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
}

int Win32Host::messageBox(const std::wstring& prompt, int flags, const std::wstring& title) {
    return ::MessageBoxW(window_, prompt.c_str(), title.c_str(), static_cast<UINT>(flags));
}

bool Win32Host::emptyClipboard(DWORD& openError) {
    win32::ClipboardGuard clipboard;
    if (!clipboard.open(window_)) {
        openError = ::GetLastError();
        return false;
    }
    if (::EmptyClipboard()) return true;
    const DWORD error = ::GetLastError();
    throw app::HostError(L"无法清空剪贴板", systemErrorText(error));
}

void Win32Host::clearClipboard() {
    const ULONGLONG start = ::GetTickCount64();
    for (;;) {
        DWORD error = 0;
        if (emptyClipboard(error)) return;
        const ULONGLONG elapsed = ::GetTickCount64() - start;
        if (elapsed >= kClipboardBudgetMs) {
            throw app::HostError(L"无法打开剪贴板(它正被另一个程序使用)", systemErrorText(error));
        }
        // Live in between: a nested handler may run here, the close question
        // included, and the window may be gone when the pause ends.
        pauseLive(std::min(kClipboardRetryMs, kClipboardBudgetMs - elapsed));
        if (!windowAlive()) throw app::WindowClosed();
    }
}

void Win32Host::pauseLive(ULONGLONG milliseconds) {
    const ULONGLONG deadline = ::GetTickCount64() + milliseconds;
    while (pumpEvents()) {
        const ULONGLONG now = ::GetTickCount64();
        if (now >= deadline) return;
        waitForEvents(static_cast<std::uint32_t>(deadline - now));
    }
}

void Win32Host::launch(const std::wstring& commandLine, app::WindowStyle style) {
    launchSystemProgram(commandLine, style);
}

HWND Win32Host::requireControl(int id, const wchar_t* what) const {
    const HWND target = control(id);
    if (!target) throw app::HostError(what, kNoControl);
    return target;
}

// A control reports failure only through its answer and sets no error code:
// whatever GetLastError holds then was left by some other call.
[[noreturn]] void Win32Host::controlRefused(const wchar_t* what) {
    throw app::HostError(what, kControlRefused);
}

void Win32Host::setStatusText(int panel, const std::wstring& text) {
    constexpr wchar_t what[] = L"无法设置状态栏文字";
    const HWND bar = requireControl(design::kS1, what);
    if (!::SendMessageW(bar, SB_SETTEXTW, static_cast<WPARAM>(panel - 1),
                        reinterpret_cast<LPARAM>(text.c_str()))) {
        controlRefused(what);
    }
    // A step's result is read out without moving the focus.
    if (panel == design::kMessagePanel) readers_.announcePanel(bar, panel);
}

std::wstring Win32Host::buttonCaption(app::Button button) {
    return windowText(control(idOf(button)));
}

void Win32Host::setButtonCaption(app::Button button, const std::wstring& caption) {
    constexpr wchar_t what[] = L"无法设置按钮文字";
    if (!::SetWindowTextW(requireControl(idOf(button), what), caption.c_str()))
        controlRefused(what);
}

void Win32Host::setButtonEnabled(app::Button button, bool enabled) {
    const HWND target = requireControl(idOf(button), L"无法启用或禁用按钮");
    // Disabling the focused button would leave the keyboard nowhere: the
    // dialog manager moves it to the next tab stop first.
    if (!enabled && ::GetFocus() == target) ::SendMessageW(window_, WM_NEXTDLGCTL, 0, FALSE);
    ::EnableWindow(target, enabled ? TRUE : FALSE);
}

void Win32Host::listAppend(const std::wstring& text) {
    constexpr wchar_t what[] = L"无法向列表添加记录";
    const LRESULT index = ::SendMessageW(requireControl(design::kList1, what), LB_ADDSTRING, 0,
                                         reinterpret_cast<LPARAM>(text.c_str()));
    if (index == LB_ERR || index == LB_ERRSPACE) controlRefused(what);
}

std::int16_t Win32Host::listCount() {
    constexpr wchar_t what[] = L"无法读取列表";
    const LRESULT count = ::SendMessageW(requireControl(design::kList1, what), LB_GETCOUNT, 0, 0);
    if (count == LB_ERR) controlRefused(what);
    return static_cast<std::int16_t>(count);
}

void Win32Host::listRemove(int index) {
    constexpr wchar_t what[] = L"无法删除列表记录";
    if (::SendMessageW(requireControl(design::kList1, what), LB_DELETESTRING,
                       static_cast<WPARAM>(index), 0) == LB_ERR) {
        controlRefused(what);
    }
}

void Win32Host::listSelect(int index) {
    constexpr wchar_t what[] = L"无法选择列表记录";
    if (::SendMessageW(requireControl(design::kList1, what), LB_SETCURSEL,
                       static_cast<WPARAM>(index), 0) == LB_ERR) {
        controlRefused(what);
    }
}

std::wstring Win32Host::timeOfDayText() {
    std::array<wchar_t, 80> text{};
    if (!::GetTimeFormatW(LOCALE_USER_DEFAULT, 0, nullptr, nullptr, text.data(),
                          static_cast<int>(text.size()))) {
        const DWORD error = ::GetLastError();
        throw app::HostError(L"无法读取当前时间", systemErrorText(error));
    }
    return text.data();
}

bool Win32Host::pumpEvents() {
    MSG message{};
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            // Leave the request for the main loop, which ends the program.
            ::PostQuitMessage(static_cast<int>(message.wParam));
            return false;
        }
        dispatch(message);
    }
    return true;
}

void Win32Host::waitForEvents(std::uint32_t milliseconds) {
    ::MsgWaitForMultipleObjectsEx(0, nullptr, milliseconds, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
}

// The skinning library takes the skin file's path in the ANSI code page.
std::wstring Win32Host::programDirectory() { return ansiSafePath(platform::programDirectory()); }

app::WindowHandle Win32Host::windowHandle() { return reinterpret_cast<app::WindowHandle>(window_); }

bool Win32Host::windowAlive() { return window_ != nullptr && ::IsWindow(window_); }

void Win32Host::unloadWindow() {
    if (window_) ::DestroyWindow(window_);
}

// Only the system's word counts: WM_ENDSESSION saying the session ends. The
// system's shutting-down flag is not said to clear when the user cancels a
// log-off, and a shell started in a session that really ends costs nothing.
bool Win32Host::sessionEnding() { return sessionEnding_; }

void Win32Host::reportError(const app::HostError& error) {
    const std::wstring text = error.operation() + L"\r\n\r\n" + error.reason();
    ::MessageBoxW(windowAlive() ? window_ : nullptr, text.c_str(), app::texts::kCaption,
                  MB_OK | MB_ICONERROR);
}

}  // namespace platform
