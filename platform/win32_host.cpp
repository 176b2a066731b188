#include "platform/win32_host.h"

#include <array>
#include <commctrl.h>

#include "app/texts.h"
#include "platform/handles.h"
#include "platform/launcher.h"
#include "platform/system_paths.h"
#include "platform/text.h"
#include "resources/form1_design.h"

namespace platform {
namespace {

// The clipboard may be held open by another program for a moment.
constexpr int kClipboardAttempts = 25;
constexpr DWORD kClipboardRetryMs = 20;

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

HWND Win32Host::buttonWindow(app::Button button) const { return control(idOf(button)); }

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

void Win32Host::clearClipboard() {
    for (int attempt = 1;; ++attempt) {
        ClipboardGuard clipboard;
        if (clipboard.open(window_)) {
            if (::EmptyClipboard()) return;
            const DWORD error = ::GetLastError();
            throw app::HostError(L"无法清空剪贴板", systemErrorText(error));
        }
        const DWORD error = ::GetLastError();
        if (attempt == kClipboardAttempts) {
            throw app::HostError(L"无法打开剪贴板(它正被另一个程序使用)", systemErrorText(error));
        }
        ::Sleep(kClipboardRetryMs);
    }
}

void Win32Host::launch(const std::wstring& commandLine, app::WindowStyle style) {
    launchSystemProgram(commandLine, style);
}

[[noreturn]] void Win32Host::controlFailed(const wchar_t* what) const {
    const DWORD error = ::GetLastError();
    throw app::HostError(what, systemErrorText(error ? error : ERROR_INVALID_WINDOW_HANDLE));
}

void Win32Host::setStatusText(int panel, const std::wstring& text) {
    if (!::SendMessageW(control(design::kS1), SB_SETTEXTW, static_cast<WPARAM>(panel - 1),
                        reinterpret_cast<LPARAM>(text.c_str()))) {
        controlFailed(L"无法设置状态栏文字");
    }
}

std::wstring Win32Host::buttonCaption(app::Button button) {
    return windowText(buttonWindow(button));
}

void Win32Host::setButtonCaption(app::Button button, const std::wstring& caption) {
    if (!::SetWindowTextW(buttonWindow(button), caption.c_str()))
        controlFailed(L"无法设置按钮文字");
}

void Win32Host::setButtonEnabled(app::Button button, bool enabled) {
    const HWND target = buttonWindow(button);
    if (!target) controlFailed(L"无法启用或禁用按钮");
    // Disabling the focused button would leave the keyboard nowhere: the
    // dialog manager moves it to the next tab stop first.
    if (!enabled && ::GetFocus() == target) ::SendMessageW(window_, WM_NEXTDLGCTL, 0, FALSE);
    ::EnableWindow(target, enabled ? TRUE : FALSE);
}

void Win32Host::listAppend(const std::wstring& text) {
    const LRESULT index = ::SendMessageW(control(design::kList1), LB_ADDSTRING, 0,
                                         reinterpret_cast<LPARAM>(text.c_str()));
    if (index == LB_ERR || index == LB_ERRSPACE) controlFailed(L"无法向列表添加记录");
}

std::int16_t Win32Host::listCount() {
    const LRESULT count = ::SendMessageW(control(design::kList1), LB_GETCOUNT, 0, 0);
    if (count == LB_ERR) controlFailed(L"无法读取列表");
    return static_cast<std::int16_t>(count);
}

void Win32Host::listRemove(int index) {
    if (::SendMessageW(control(design::kList1), LB_DELETESTRING, static_cast<WPARAM>(index), 0) ==
        LB_ERR) {
        controlFailed(L"无法删除列表记录");
    }
}

void Win32Host::listSelect(int index) {
    if (::SendMessageW(control(design::kList1), LB_SETCURSEL, static_cast<WPARAM>(index), 0) ==
        LB_ERR) {
        controlFailed(L"无法选择列表记录");
    }
}

std::wstring Win32Host::timeOfDayText() {
    std::array<wchar_t, 80> text{};
    if (!::GetTimeFormatW(LOCALE_USER_DEFAULT, 0, nullptr, nullptr, text.data(),
                          static_cast<int>(text.size()))) {
        controlFailed(L"无法读取当前时间");
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

void Win32Host::reportError(const app::HostError& error) {
    const std::wstring text = error.operation() + L"\r\n\r\n" + error.reason();
    ::MessageBoxW(windowAlive() ? window_ : nullptr, text.c_str(), app::texts::kCaption,
                  MB_OK | MB_ICONERROR);
}

}  // namespace platform
