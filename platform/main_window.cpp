#include "platform/main_window.h"

#include <array>
#include <commctrl.h>
#include <vector>

#include "app/texts.h"
#include "platform/launcher.h"
#include "platform/status_bar.h"
#include "platform/system_paths.h"
#include "platform/text.h"
#include "resources/form1_design.h"
#include "resources/resource_ids.h"

namespace platform {
namespace {

constexpr wchar_t kWindowClass[] = L"ZelkUsbTool.Form1";
constexpr UINT_PTR kClockTimer = 1;
constexpr UINT kClearGroupBoxes = WM_APP + 1;
// The clipboard may be held open by another program for a moment.
constexpr int kClipboardAttempts = 25;
constexpr DWORD kClipboardRetryMs = 20;

const design::Control& designOf(int id) {
    for (const auto& c : design::kControls) {
        if (c.id == id) return c;
    }
    return design::kControls[0];
}

// A control's position in the window's client area, in twips.
POINT absoluteTwips(const design::Control& c) {
    POINT p{c.left, c.top};
    for (int container = c.container; container != design::kForm1;) {
        const auto& parent = designOf(container);
        p.x += parent.left;
        p.y += parent.top;
        container = parent.container;
    }
    return p;
}

struct ClassAndStyle {
    const wchar_t* className;
    DWORD style;
    DWORD exStyle;
};

ClassAndStyle classFor(const design::Control& c) {
    constexpr DWORD child = WS_CHILD | WS_VISIBLE;
    switch (c.kind) {
        case design::Kind::GroupBox:
            return {WC_BUTTONW, child | BS_GROUPBOX | (c.id == design::kFrame1 ? WS_GROUP : 0), 0};
        case design::Kind::Button:
            return {WC_BUTTONW, child | WS_TABSTOP | BS_PUSHBUTTON, 0};
        case design::Kind::Radio:
            return {
                WC_BUTTONW,
                child | WS_TABSTOP | BS_AUTORADIOBUTTON | (c.id == design::kOption1 ? WS_GROUP : 0),
                0};
        case design::Kind::ListBox:
            return {WC_LISTBOXW,
                    child | WS_TABSTOP | WS_VSCROLL | LBS_NOINTEGRALHEIGHT | LBS_NOTIFY,
                    WS_EX_CLIENTEDGE};
        case design::Kind::Edit:
            return {WC_EDITW,
                    child | WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_READONLY,
                    WS_EX_CLIENTEDGE};
        case design::Kind::StatusBar:
            return {kStatusBarClass, child, 0};
    }
    return {WC_STATICW, child, 0};
}

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

MainWindow::MainWindow(HINSTANCE instance, app::Bindings& api)
    : instance_(instance), form_(*this, api) {}

MainWindow::~MainWindow() {
    if (window_) ::DestroyWindow(window_);
}

int MainWindow::scale(int twips) const { return ::MulDiv(twips, dpi_, design::kTwipsPerInch); }

bool MainWindow::create(int showCommand) {
    const HDC screen = ::GetDC(nullptr);
    dpi_ = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    if (dpi_ <= 0) dpi_ = 96;

    bigIcon_.reset(static_cast<HICON>(::LoadImageW(instance_, MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON,
                                                   ::GetSystemMetrics(SM_CXICON),
                                                   ::GetSystemMetrics(SM_CYICON), 0)));
    smallIcon_.reset(static_cast<HICON>(::LoadImageW(instance_, MAKEINTRESOURCEW(IDI_APP),
                                                     IMAGE_ICON, ::GetSystemMetrics(SM_CXSMICON),
                                                     ::GetSystemMetrics(SM_CYSMICON), 0)));
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = windowProc;
    wc.hInstance = instance_;
    wc.hIcon = bigIcon_.get();
    wc.hIconSm = smallIcon_.get();
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kWindowClass;
    if (!::RegisterClassExW(&wc) || !registerStatusBarClass(instance_)) return false;

    // Created with a resize frame, which Form_Load takes away.
    constexpr DWORD style =
        WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_THICKFRAME;
    if (!::CreateWindowExW(0, kWindowClass, app::texts::kCaption, style, CW_USEDEFAULT,
                           CW_USEDEFAULT, scale(design::kClientWidth), scale(design::kClientHeight),
                           nullptr, nullptr, instance_, this)) {
        return false;
    }
    ::SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_.get()));
    ::SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.get()));
    app::runGuarded(*this, [this] { form_.Form_Load(); });
    showCentred(showCommand);
    return window_ != nullptr;
}

void MainWindow::showCentred(int showCommand) {
    const DWORD style = static_cast<DWORD>(::GetWindowLongW(window_, GWL_STYLE));
    const DWORD exStyle = static_cast<DWORD>(::GetWindowLongW(window_, GWL_EXSTYLE));
    RECT frame{0, 0, scale(design::kClientWidth), scale(design::kClientHeight)};
    ::AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    const int x = (::GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    const int y = (::GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    ::SetWindowPos(window_, nullptr, x, y, width, height,
                   SWP_NOZORDER | SWP_FRAMECHANGED | SWP_NOACTIVATE);
    ::ShowWindow(window_, showCommand);
    ::SetFocus(control(design::kCommand1));
}

void MainWindow::createControls() {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    font_.reset(::CreateFontIndirectW(&metrics.lfMessageFont));

    for (const auto& c : design::kControls) {
        const POINT at = absoluteTwips(c);
        const ClassAndStyle cls = classFor(c);
        const HWND child = ::CreateWindowExW(
            cls.exStyle, cls.className, c.caption, cls.style, scale(at.x), scale(at.y),
            scale(at.x + c.width) - scale(at.x), scale(at.y + c.height) - scale(at.y), window_,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)), instance_, nullptr);
        if (child && font_)
            ::SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    }
    ::SetWindowTextW(control(design::kText1), design::kNotes);
    // Posted: it only matters once input arrives, and posted messages come
    // before input; the window shows a few milliseconds sooner.
    ::PostMessageW(window_, kClearGroupBoxes, 0, 0);
    layoutStatusBar();
}

// A group box only draws a frame and a caption, yet its rectangle covers the
// controls inside it, Command5 included, which sit after it in the tab order
// and so below it. Cutting their rectangles out of the box's window region
// keeps every hit test, from any thread, on the control the user sees.
void MainWindow::clearGroupBoxesOverControls() {
    for (const auto& box : design::kControls) {
        if (box.kind != design::Kind::GroupBox) continue;
        const HWND boxWindow = control(box.id);
        RECT boxRect{};
        ::GetWindowRect(boxWindow, &boxRect);
        const HRGN region =
            ::CreateRectRgn(0, 0, boxRect.right - boxRect.left, boxRect.bottom - boxRect.top);
        for (const auto& c : design::kControls) {
            if (c.kind == design::Kind::GroupBox) continue;
            RECT r{};
            ::GetWindowRect(control(c.id), &r);
            RECT overlap{};
            if (!::IntersectRect(&overlap, &r, &boxRect)) continue;
            ::OffsetRect(&overlap, -boxRect.left, -boxRect.top);
            const HRGN hole = ::CreateRectRgnIndirect(&overlap);
            ::CombineRgn(region, region, hole, RGN_DIFF);
            ::DeleteObject(hole);
        }
        // The window owns the region from here on.
        if (!::SetWindowRgn(boxWindow, region, FALSE)) ::DeleteObject(region);
    }
}

void MainWindow::layoutStatusBar() {
    const HWND bar = control(design::kS1);
    std::array<int, 3> borders{};
    ::SendMessageW(bar, SB_GETBORDERS, 0, reinterpret_cast<LPARAM>(borders.data()));
    const int gap = borders[2];
    const int barWidth = scale(design::kClientWidth);
    // Panel 2 takes what panels 1 and 3 and the gaps between them leave.
    const int first = scale(design::kPanels[0].width);
    const int last = scale(design::kPanels[2].width);
    std::array<int, 3> rightEdges{first, barWidth - last - gap, -1};
    ::SendMessageW(bar, SB_SETPARTS, rightEdges.size(),
                   reinterpret_cast<LPARAM>(rightEdges.data()));
    for (int part = 0; part < 2; ++part) {
        ::SendMessageW(bar, SB_SETTEXTW, static_cast<WPARAM>(part),
                       reinterpret_cast<LPARAM>(design::kPanels[part].text));
    }
    updateClock();
}

// Panel 3 shows the time in the user's short format, rewritten when the minute changes.
void MainWindow::updateClock() {
    std::array<wchar_t, 80> format{};
    std::array<wchar_t, 80> text{};
    constexpr LCTYPE kShortTime = 0x00000079;  // LOCALE_SSHORTTIME
    const bool haveFormat = ::GetLocaleInfoW(LOCALE_USER_DEFAULT, kShortTime, format.data(),
                                             static_cast<int>(format.size())) > 0;
    if (!::GetTimeFormatW(LOCALE_USER_DEFAULT, haveFormat ? 0 : TIME_NOSECONDS, nullptr,
                          haveFormat ? format.data() : nullptr, text.data(),
                          static_cast<int>(text.size()))) {
        text[0] = L'\0';
    }
    if (clockText_ != text.data()) {
        clockText_ = text.data();
        ::SendMessageW(control(design::kS1), SB_SETTEXTW, design::kClockPanel - 1,
                       reinterpret_cast<LPARAM>(clockText_.c_str()));
    }
    scheduleClock();
}

// Wakes once a minute, just after the minute turns, instead of polling.
void MainWindow::scheduleClock() {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    const UINT untilNextMinute = (60u - now.wSecond) * 1000u - now.wMilliseconds + 50u;
    ::SetTimer(window_, kClockTimer, untilNextMinute, nullptr);
}

HWND MainWindow::control(int id) const { return window_ ? ::GetDlgItem(window_, id) : nullptr; }

HWND MainWindow::buttonWindow(app::Button button) const { return control(idOf(button)); }

LRESULT CALLBACK MainWindow::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self =
            static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->window_ = window;
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<MainWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self) return ::DefWindowProcW(window, message, wParam, lParam);
    return self->handleMessage(message, wParam, lParam);
}

LRESULT MainWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    const HWND window = window_;
    switch (message) {
        case WM_CREATE:
            createControls();
            return 0;
        case WM_COMMAND:
            if (HIWORD(wParam) == BN_CLICKED && lParam != 0) onCommand(LOWORD(wParam));
            return 0;
        case kClearGroupBoxes:
            clearGroupBoxesOverControls();
            return 0;
        case WM_TIMER:
            if (wParam == kClockTimer) updateClock();
            return 0;
        case WM_TIMECHANGE:
        case WM_SETTINGCHANGE:
            updateClock();
            break;
        case WM_ACTIVATE:
            // Remember the focused control, as a dialog box does, so it gets
            // the focus back when the window is activated again.
            if (LOWORD(wParam) == WA_INACTIVE) {
                const HWND focus = ::GetFocus();
                if (focus && ::IsChild(window, focus)) lastFocus_ = focus;
            }
            break;
        case WM_SETFOCUS: {
            const HWND target = lastFocus_ && ::IsWindowEnabled(lastFocus_)
                                    ? lastFocus_
                                    : control(design::kCommand1);
            ::SetFocus(target);
            return 0;
        }
        case WM_CLOSE:
            onClose();
            return 0;
        case WM_DESTROY:
            ::KillTimer(window, kClockTimer);
            ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            window_ = nullptr;
            ::PostQuitMessage(0);
            return 0;
        default:
            break;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

void MainWindow::onCommand(int id) {
    void (app::Form1::*handler)() = nullptr;
    switch (id) {
        case design::kCommand1:
            handler = &app::Form1::Command1_Click;
            break;
        case design::kCommand2:
            handler = &app::Form1::Command2_Click;
            break;
        case design::kCommand3:
            handler = &app::Form1::Command3_Click;
            break;
        case design::kCommand4:
            handler = &app::Form1::Command4_Click;
            break;
        case design::kCommand5:
            handler = &app::Form1::Command5_Click;
            break;
        case design::kOption1:
            handler = &app::Form1::Option1_Click;
            break;
        case design::kOption2:
            handler = &app::Form1::Option2_Click;
            break;
        default:
            return;
    }
    app::runGuarded(*this, [this, handler] { (form_.*handler)(); });
}

// Every close request asks the question once; the unload it makes does not ask again.
void MainWindow::onClose() {
    std::int16_t cancel = 0;
    const bool completed =
        app::runGuarded(*this, [this, &cancel] { form_.Form_QueryUnload(cancel, 0); });
    // A failed step (the forum could not be opened) keeps the window, as Cancel does.
    if (completed && cancel == 0 && window_) unloadWindow();
}

void MainWindow::dispatch(MSG& message) {
    if (window_ && ::IsDialogMessageW(window_, &message)) return;
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
}

int MainWindow::run() {
    MSG message{};
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) dispatch(message);
    return static_cast<int>(message.wParam);
}

int MainWindow::messageBox(const std::wstring& prompt, int flags, const std::wstring& title) {
    return ::MessageBoxW(window_, prompt.c_str(), title.c_str(), static_cast<UINT>(flags));
}

void MainWindow::clearClipboard() {
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

void MainWindow::launch(const std::wstring& commandLine, app::WindowStyle style) {
    launchSystemProgram(commandLine, style);
}

[[noreturn]] void MainWindow::controlFailed(const wchar_t* what) const {
    const DWORD error = ::GetLastError();
    throw app::HostError(what, systemErrorText(error ? error : ERROR_INVALID_WINDOW_HANDLE));
}

void MainWindow::setStatusText(int panel, const std::wstring& text) {
    if (!::SendMessageW(control(design::kS1), SB_SETTEXTW, static_cast<WPARAM>(panel - 1),
                        reinterpret_cast<LPARAM>(text.c_str()))) {
        controlFailed(L"无法设置状态栏文字");
    }
}

std::wstring MainWindow::buttonCaption(app::Button button) {
    return windowText(buttonWindow(button));
}

void MainWindow::setButtonCaption(app::Button button, const std::wstring& caption) {
    if (!::SetWindowTextW(buttonWindow(button), caption.c_str()))
        controlFailed(L"无法设置按钮文字");
}

void MainWindow::setButtonEnabled(app::Button button, bool enabled) {
    const HWND target = buttonWindow(button);
    if (!target) controlFailed(L"无法启用或禁用按钮");
    // Disabling the focused button would leave the keyboard nowhere.
    if (!enabled && ::GetFocus() == target) ::SendMessageW(window_, WM_NEXTDLGCTL, 0, FALSE);
    ::EnableWindow(target, enabled ? TRUE : FALSE);
}

void MainWindow::listAppend(const std::wstring& text) {
    const LRESULT index = ::SendMessageW(control(design::kList1), LB_ADDSTRING, 0,
                                         reinterpret_cast<LPARAM>(text.c_str()));
    if (index == LB_ERR || index == LB_ERRSPACE) controlFailed(L"无法向列表添加记录");
}

std::int16_t MainWindow::listCount() {
    const LRESULT count = ::SendMessageW(control(design::kList1), LB_GETCOUNT, 0, 0);
    if (count == LB_ERR) controlFailed(L"无法读取列表");
    return static_cast<std::int16_t>(count);
}

void MainWindow::listRemove(int index) {
    if (::SendMessageW(control(design::kList1), LB_DELETESTRING, static_cast<WPARAM>(index), 0) ==
        LB_ERR) {
        controlFailed(L"无法删除列表记录");
    }
}

void MainWindow::listSelect(int index) {
    if (::SendMessageW(control(design::kList1), LB_SETCURSEL, static_cast<WPARAM>(index), 0) ==
        LB_ERR) {
        controlFailed(L"无法选择列表记录");
    }
}

std::wstring MainWindow::timeOfDayText() {
    std::array<wchar_t, 80> text{};
    if (!::GetTimeFormatW(LOCALE_USER_DEFAULT, 0, nullptr, nullptr, text.data(),
                          static_cast<int>(text.size()))) {
        controlFailed(L"无法读取当前时间");
    }
    return text.data();
}

bool MainWindow::pumpEvents() {
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

void MainWindow::waitForEvents(std::uint32_t milliseconds) {
    ::MsgWaitForMultipleObjectsEx(0, nullptr, milliseconds, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
}

// The skinning library takes the skin file's path in the ANSI code page. A
// folder named in another script (Chinese on a Western system) would lose its
// characters there, so such a folder is given by its short name, which names
// the same folder in plain ASCII.
std::wstring MainWindow::programDirectory() {
    const std::wstring directory = platform::programDirectory();
    if (fitsAnsi(directory)) return directory;
    std::wstring shortName(MAX_PATH, L'\0');
    DWORD length = ::GetShortPathNameW(directory.c_str(), shortName.data(),
                                       static_cast<DWORD>(shortName.size()));
    if (length >= shortName.size()) {
        shortName.resize(length);
        length = ::GetShortPathNameW(directory.c_str(), shortName.data(),
                                     static_cast<DWORD>(shortName.size()));
    }
    shortName.resize(length < shortName.size() ? length : 0);
    return !shortName.empty() && fitsAnsi(shortName) ? shortName : directory;
}

app::WindowHandle MainWindow::windowHandle() {
    return reinterpret_cast<app::WindowHandle>(window_);
}

bool MainWindow::windowAlive() { return window_ != nullptr && ::IsWindow(window_); }

void MainWindow::unloadWindow() {
    if (window_) ::DestroyWindow(window_);
}

void MainWindow::reportError(const app::HostError& error) {
    const std::wstring text = error.operation() + L"\r\n\r\n" + error.reason();
    ::MessageBoxW(windowAlive() ? window_ : nullptr, text.c_str(), app::texts::kCaption,
                  MB_OK | MB_ICONERROR);
}

}  // namespace platform
