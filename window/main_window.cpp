#include "window/main_window.h"

#include <array>
#include <commctrl.h>

#include "app/guard.h"
#include "app/texts.h"
#include "resources/form1_design.h"
#include "resources/resource_ids.h"
#include "window/dpi.h"
#include "window/layout.h"
#include "window/status_bar.h"
#include "window/ui_font.h"

namespace platform {
namespace {

constexpr wchar_t kWindowClass[] = L"ZelkUsbTool.Form1";
constexpr UINT_PTR kClockTimer = 1;
constexpr wchar_t kOriginalProcProperty[] = L"ZelkUsbTool.OriginalProc";

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

// A reader asks for the control's client object, through Active
// Accessibility (OBJID_CLIENT) or UI Automation (UiaRootObjectId). The
// window's own object, the class-name index and the native object model are
// asked by any client and by the system: they start nothing. The id is a
// 32-bit value, whatever the width of lParam.
bool asksForReader(LPARAM lParam) {
    constexpr LONG kUiaRootObjectId = -25;
    const auto id = static_cast<LONG>(static_cast<DWORD>(lParam));
    return id == OBJID_CLIENT || id == kUiaRootObjectId;
}

}  // namespace

win32::UniqueIcon loadAppIcon(HINSTANCE instance, int width, int height) {
    return win32::UniqueIcon(static_cast<HICON>(
        ::LoadImageW(instance, MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON, width, height, 0)));
}

namespace {

// The window's rectangle centred on the screen.
RECT centred(RECT frame) {
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    const int x = (::GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    const int y = (::GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    return {x, y, x + width, y + height};
}

}  // namespace

MainWindow::MainWindow(HINSTANCE instance, app::Bindings& api)
    : instance_(instance), form_(host_, api) {}

MainWindow::~MainWindow() {
    if (window_) ::DestroyWindow(window_);
}

bool MainWindow::registerClass() {
    bigIcon_ = loadAppIcon(instance_, ::GetSystemMetrics(SM_CXICON), ::GetSystemMetrics(SM_CYICON));
    smallIcon_ =
        loadAppIcon(instance_, ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON));
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = windowProc;
    // A dialog manager's window: DefDlgProcW keeps its state here.
    wc.cbWndExtra = DLGWINDOWEXTRA;
    wc.hInstance = instance_;
    wc.hIcon = bigIcon_.get();
    wc.hIconSm = smallIcon_.get();
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kWindowClass;
    return ::RegisterClassExW(&wc) && registerStatusBarClass(instance_);
}

bool MainWindow::create(int showCommand) {
    systemDpi_ = dpi::system();
    dpi_ = systemDpi_;
    if (!registerClass()) return false;

    // Made where it will be shown, so that it starts at that monitor's DPI.
    const RECT at = centred(frameAt(dpi_));
    if (!::CreateWindowExW(0, kWindowClass, app::texts::kCaption, kCreationStyle, at.left, at.top,
                           at.right - at.left, at.bottom - at.top, nullptr, nullptr, instance_,
                           this)) {
        return false;
    }
    showIcons();
    app::runGuarded(host_, [this] { form_.Form_Load(); });
    // Focus cues stay hidden until the keyboard is used, by the system's rules.
    ::SendMessageW(window_, WM_CHANGEUISTATE, MAKEWPARAM(UIS_INITIALIZE, 0), 0);
    showCentred(showCommand);
    return window_ != nullptr;
}

void MainWindow::showCentred(int showCommand) {
    const RECT at = centred(frameAt(dpi_));
    ::SetWindowPos(window_, nullptr, at.left, at.top, at.right - at.left, at.bottom - at.top,
                   SWP_NOZORDER | SWP_FRAMECHANGED | SWP_NOACTIVATE);
    ::ShowWindow(window_, showCommand);
    // Through the dialog manager, so that it knows the focus it must restore.
    ::SendMessageW(window_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control(design::kCommand1)),
                   TRUE);
}

void MainWindow::createControls() {
    dpi_ = dpi::ofWindow(window_);
    dpi::keepDialogManagerOut(window_);
    font_ = createUiFont(dpi_);

    const WindowLayout layout = layoutAt(dpi_, 0);
    for (size_t i = 0; i < std::size(design::kControls); ++i) {
        const design::Control& c = design::kControls[i];
        const PixelRect& r = layout.controls[i].rect;
        // The status bar reports an unexpected failure through the host.
        void* const createParam = c.kind == design::Kind::StatusBar ? &host_ : nullptr;
        const HWND child = ::CreateWindowExW(c.exStyle, classOf(c.kind), c.caption, c.style, r.left,
                                             r.top, r.right - r.left, r.bottom - r.top, window_,
                                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)),
                                             instance_, createParam);
        if (child && font_)
            ::SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
        // An automatic radio button clicks itself when it gets the focus: a
        // Tab onto a web link would open the browser. The arrow keys (the
        // dialog manager clicks), Space and the mouse still choose one.
        if (child && c.kind == design::Kind::Radio) ::SendMessageW(child, BM_SETDONTCLICK, TRUE, 0);
    }
    ::SetWindowTextW(control(design::kText1), design::kNotes);
    subclassForReading(design::kList1);
    subclassForReading(design::kText1);
    stackUnfocusableBelow();
    setUpStatusBar();
}

// Hit tests and the dialog manager both walk the z-order. The controls that
// take no focus (group boxes, the status bar) go below all the others, each
// group box below what it holds (Frame3 above Frame2): a click lands on the
// control the user sees, Command5 included, and Tab keeps the design's order.
void MainWindow::stackUnfocusableBelow() {
    for (auto c = std::rbegin(design::kControls); c != std::rend(design::kControls); ++c) {
        if (c->style & WS_TABSTOP) continue;
        ::SetWindowPos(control(c->id), HWND_BOTTOM, 0, 0, 0, 0,
                       SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOREDRAW);
    }
}

void MainWindow::subclassForReading(int id) {
    const HWND target = control(id);
    ::SetPropW(target, kOriginalProcProperty,
               reinterpret_cast<HANDLE>(::SetWindowLongPtrW(
                   target, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(readingProc))));
}

// The log and the notes. The notes are for reading: tabbing in must neither
// select them all nor scroll to their end, which the dialog manager does to
// an edit that claims DLGC_HASSETSEL. Both are named for readers the first
// time one asks, before the standard answer.
LRESULT CALLBACK MainWindow::readingProc(HWND target, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto original = reinterpret_cast<WNDPROC>(::GetPropW(target, kOriginalProcProperty));
    auto* self =
        reinterpret_cast<MainWindow*>(::GetWindowLongPtrW(::GetParent(target), GWLP_USERDATA));
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrW(target, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
        ::RemovePropW(target, kOriginalProcProperty);
    }
    return app::runGuarded(self ? &self->host_ : nullptr, LRESULT{0}, [&] {
        if (message == WM_GETOBJECT && self && asksForReader(lParam)) self->nameForReaders();
        const LRESULT result = ::CallWindowProcW(original, target, message, wParam, lParam);
        const bool notes = ::GetDlgCtrlID(target) == design::kText1 && message == WM_GETDLGCODE;
        return notes ? result & ~LRESULT{DLGC_HASSETSEL} : result;
    });
}

// A list or edit box takes its name from a label before it, and a group box
// is not one: readers hear each after its group box. Annotated, so that both
// keep the system's accessible objects; only when a reader first asks, so
// that start-up pays nothing for it.
// This runs inside a reader's question, sent from its process: a failure
// here shows nothing (a box would stall the reader until its call times out)
// and leaves the controls answering as the standard ones do, to be named at
// the next question. Readers are told only once both names are given: an
// in-context hook runs inside that call and may ask again, which must find
// the work done, not start it over.
void MainWindow::nameForReaders() noexcept {
    if (namedForReaders_ || namingForReaders_) return;
    namingForReaders_ = true;
    try {
        constexpr std::array kNamed = {design::kList1, design::kText1};
        bool named = true;
        for (const int id : kNamed) {
            named = host_.readers().name(
                        control(id), design::designOf(design::designOf(id).container).caption) &&
                    named;
        }
        if (named) {
            namedForReaders_ = true;
            for (const int id : kNamed) ReaderServices::nameChanged(control(id));
        }
    } catch (...) {
    }
    namingForReaders_ = false;
}

void MainWindow::setUpStatusBar() {
    placePanels();
    const HWND bar = control(design::kS1);
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
    if (!self) return ::DefDlgProcW(window, message, wParam, lParam);
    // Nothing thrown may unwind into the system's frames.
    return app::runGuarded(&self->host_, LRESULT{0},
                           [&] { return self->handleMessage(message, wParam, lParam); });
}

// Only dispatches: each message has its own method.
LRESULT MainWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    const HWND window = window_;  // a handler may destroy it
    switch (message) {
        case WM_CREATE:
            createControls();
            return 0;
        case WM_COMMAND:
            // Esc's IDCANCEL comes with no control and is dropped here too.
            if (HIWORD(wParam) == BN_CLICKED && lParam != 0) onCommand(LOWORD(wParam));
            return 0;
        case DM_GETDEFID:
            return focusedPushButton();
        case WM_TIMER:
            if (wParam == kClockTimer) updateClock();
            return 0;
        case WM_TIMECHANGE:
        case WM_SETTINGCHANGE:
            updateClock();
            break;
        case WM_CLOSE:
            onClose();
            return 0;
        case WM_QUERYENDSESSION:
            return onQueryEndSession(lParam);
        case kAskToCloseForSession:
            onQueuedSessionClose();
            return 0;
        case WM_ENDSESSION:
            onEndSession(wParam != FALSE, lParam);
            return 0;
        case WM_DPICHANGED:
            return onDpiChanged(HIWORD(wParam), reinterpret_cast<const RECT*>(lParam));
        case WM_GETDPISCALEDSIZE:
            return onGetDpiScaledSize(static_cast<int>(wParam), reinterpret_cast<SIZE*>(lParam));
        case WM_DESTROY:
            onDestroy();
            return 0;
        default:
            break;
    }
    return ::DefDlgProcW(window, message, wParam, lParam);
}

// Enter presses the focused push button: none is the window's default.
LRESULT MainWindow::focusedPushButton() const {
    const HWND focus = ::GetFocus();
    if (!focus || ::GetParent(focus) != window_) return 0;
    const LRESULT code = ::SendMessageW(focus, WM_GETDLGCODE, 0, 0);
    if (!(code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON))) return 0;
    return MAKELONG(::GetDlgCtrlID(focus), DC_HASDEFID);
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

void MainWindow::onDestroy() {
    ::KillTimer(window_, kClockTimer);
    allowSessionEnd();
    host_.readers().forgetAll();
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
