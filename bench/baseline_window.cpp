// The yardsticks for start-up time, built with the same flags as the real
// program so that only our own work differs:
// - bare_window: the least a Win32 program can do to show a window (register
//   a class, create and show one empty window, pump);
// - design_window (WITH_DESIGN_CONTROLS): the same window holding the
//   program's fifteen controls, made from its design table (the same
//   rectangles, captions and styles) as standard controls, a plain static
//   standing for the status bar, and nothing else: no skin, no status bar of
//   our own, no clock, no handlers.
#include <windows.h>

#include "win32/bind_export.h"
#ifdef WITH_DESIGN_CONTROLS
#include "resources/form1_design.h"
#include "win32/handles.h"
#endif

namespace {

#ifdef WITH_DESIGN_CONTROLS
constexpr wchar_t kClass[] = L"ZelkUsbTool.DesignWindow";
#else
constexpr wchar_t kClass[] = L"ZelkUsbTool.BareWindow";
#endif
// The real window's client size at 96 DPI.
constexpr int kClientWidth = 521;
constexpr int kClientHeight = 458;

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// The process settings the real program makes before its window: aware of
// the screen's DPI, and no input-method windows (no window here takes typed
// text), which spares one window for every control.
void setUpAsTheProgramDoes() {
    using SetProcessDPIAwareFn = BOOL(WINAPI*)();
    using ImmDisableIMEFn = BOOL(WINAPI*)(DWORD);
    if (const auto aware = win32::bindExport<SetProcessDPIAwareFn>(GetModuleHandleW(L"user32.dll"),
                                                                   "SetProcessDPIAware")) {
        aware();
    }
    if (const auto noIme =
            win32::bindExport<ImmDisableIMEFn>(GetModuleHandleW(L"imm32.dll"), "ImmDisableIME")) {
        noIme(0);
    }
}

#ifdef WITH_DESIGN_CONTROLS
// The standard control of each kind; a plain static stands for the status bar.
const wchar_t* standardClass(design::Kind kind) {
    switch (kind) {
        case design::Kind::GroupBox:
        case design::Kind::Button:
        case design::Kind::Radio:
            return L"Button";
        case design::Kind::ListBox:
            return L"ListBox";
        case design::Kind::Edit:
            return L"Edit";
        case design::Kind::StatusBar:
            break;
    }
    return L"Static";
}

// Where the control's container puts it, in twips from the client area's corner.
POINT originTwips(design::Id id) {
    for (const design::Control& c : design::kControls) {
        if (c.id != id) continue;
        const POINT outer = originTwips(c.container);
        return {outer.x + c.left, outer.y + c.top};
    }
    return {0, 0};  // the window itself
}

HFONT messageFont() {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    return CreateFontIndirectW(&metrics.lfMessageFont);
}

void createControls(HWND window, HINSTANCE instance, int dpi, HFONT font) {
    const auto pixels = [dpi](int twips) { return MulDiv(twips, dpi, design::kTwipsPerInch); };
    for (const design::Control& c : design::kControls) {
        const POINT at = originTwips(c.id);
        const HWND control = CreateWindowExW(
            c.exStyle, standardClass(c.kind), c.caption, c.style, pixels(at.x), pixels(at.y),
            pixels(at.x + c.width) - pixels(at.x), pixels(at.y + c.height) - pixels(at.y), window,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)), instance, nullptr);
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
    SetDlgItemTextW(window, design::kText1, design::kNotes);
    SetDlgItemTextW(window, design::kS1, design::kPanels[1].text);
}
#endif

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    setUpAsTheProgramDoes();
    WNDCLASSEXW cls{};
    cls.cbSize = sizeof cls;
    cls.lpfnWndProc = windowProc;
    cls.hInstance = instance;
    cls.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    cls.lpszClassName = kClass;
    if (!RegisterClassExW(&cls)) return 1;
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    constexpr DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    RECT frame{0, 0, MulDiv(kClientWidth, dpi, 96), MulDiv(kClientHeight, dpi, 96)};
    AdjustWindowRectEx(&frame, style, FALSE, 0);
    const HWND window = CreateWindowExW(0, kClass, L"baseline", style, CW_USEDEFAULT, CW_USEDEFAULT,
                                        frame.right - frame.left, frame.bottom - frame.top, nullptr,
                                        nullptr, instance, nullptr);
    if (!window) return 1;
#ifdef WITH_DESIGN_CONTROLS
    // The controls' font lives as long as the window, as the real one's does.
    const win32::UniqueGdiObject font(messageFont());
    createControls(window, instance, dpi, static_cast<HFONT>(font.get()));
#endif
    // Shown as the real window is: painted when the message loop comes to it.
    ShowWindow(window, showCommand);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}
