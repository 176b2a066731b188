#include "platform/main_window.h"

#include <array>
#include <commctrl.h>

#include "app/texts.h"
#include "platform/status_bar.h"
#include "resources/form1_design.h"
#include "resources/resource_ids.h"

namespace platform {
namespace {

constexpr wchar_t kWindowClass[] = L"ZelkUsbTool.Form1";
constexpr UINT_PTR kClockTimer = 1;
constexpr UINT kClearGroupBoxes = WM_APP + 1;

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

const wchar_t* classOf(design::Kind kind) {
    switch (kind) {
        case design::Kind::GroupBox:
        case design::Kind::Button:
        case design::Kind::Radio:
            return WC_BUTTONW;
        case design::Kind::ListBox:
            return WC_LISTBOXW;
        case design::Kind::Edit:
            return WC_EDITW;
        case design::Kind::StatusBar:
            return kStatusBarClass;
    }
    return WC_STATICW;
}

UniqueIcon loadAppIcon(HINSTANCE instance, int widthMetric, int heightMetric) {
    return UniqueIcon(static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(IDI_APP),
                                                      IMAGE_ICON, ::GetSystemMetrics(widthMetric),
                                                      ::GetSystemMetrics(heightMetric), 0)));
}

}  // namespace

MainWindow::MainWindow(HINSTANCE instance, app::Bindings& api)
    : instance_(instance), form_(host_, api) {}

MainWindow::~MainWindow() {
    if (window_) ::DestroyWindow(window_);
}

int MainWindow::scale(int twips) const { return ::MulDiv(twips, dpi_, design::kTwipsPerInch); }

bool MainWindow::registerClass() {
    bigIcon_ = loadAppIcon(instance_, SM_CXICON, SM_CYICON);
    smallIcon_ = loadAppIcon(instance_, SM_CXSMICON, SM_CYSMICON);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = windowProc;
    wc.hInstance = instance_;
    wc.hIcon = bigIcon_.get();
    wc.hIconSm = smallIcon_.get();
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kWindowClass;
    return ::RegisterClassExW(&wc) && registerStatusBarClass(instance_);
}

bool MainWindow::create(int showCommand) {
    const HDC screen = ::GetDC(nullptr);
    dpi_ = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    if (dpi_ <= 0) dpi_ = 96;
    if (!registerClass()) return false;

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
    app::runGuarded(host_, [this] { form_.Form_Load(); });
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
        const HWND child = ::CreateWindowExW(
            c.exStyle, classOf(c.kind), c.caption, c.style, scale(at.x), scale(at.y),
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

LRESULT CALLBACK MainWindow::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self =
            static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->window_ = window;
        self->host_.attach(window);
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<MainWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self) return ::DefWindowProcW(window, message, wParam, lParam);
    return self->handleMessage(message, wParam, lParam);
}

// Only dispatches: each message has its own method.
LRESULT MainWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    const HWND window = window_;  // a handler may destroy it
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
            onActivate(wParam);
            break;
        case WM_SETFOCUS:
            onSetFocus();
            return 0;
        case WM_CLOSE:
            onClose();
            return 0;
        case WM_DESTROY:
            onDestroy();
            return 0;
        default:
            break;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

// Remembers the focused control, as a dialog box does, so that it gets the
// focus back when the window is activated again.
void MainWindow::onActivate(WPARAM wParam) {
    if (LOWORD(wParam) != WA_INACTIVE) return;
    const HWND focus = ::GetFocus();
    if (focus && ::IsChild(window_, focus)) lastFocus_ = focus;
}

void MainWindow::onSetFocus() {
    const HWND target =
        lastFocus_ && ::IsWindowEnabled(lastFocus_) ? lastFocus_ : control(design::kCommand1);
    ::SetFocus(target);
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
    app::runGuarded(host_, [this, handler] { (form_.*handler)(); });
}

// Every close request asks the question once; the unload it makes does not ask again.
void MainWindow::onClose() {
    std::int16_t cancel = 0;
    const bool completed =
        app::runGuarded(host_, [this, &cancel] { form_.Form_QueryUnload(cancel, 0); });
    // A failed step (the forum could not be opened) keeps the window, as Cancel does.
    if (completed && cancel == 0 && window_) host_.unloadWindow();
}

void MainWindow::onDestroy() {
    ::KillTimer(window_, kClockTimer);
    ::SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    window_ = nullptr;
    host_.detach();
    ::PostQuitMessage(0);
}

int MainWindow::run() {
    MSG message{};
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) host_.dispatch(message);
    return static_cast<int>(message.wParam);
}

}  // namespace platform
