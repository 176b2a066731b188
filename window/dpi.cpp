#include "window/dpi.h"

#include "win32/bind_export.h"
#include "win32/handles.h"
#include "window/layout.h"

namespace platform::dpi {
namespace {

// The per-monitor functions of user32, where it has them.
struct PerMonitor {
    UINT(WINAPI* dpiForWindow)(HWND) = nullptr;
    int(WINAPI* metricForDpi)(int, UINT) = nullptr;
    BOOL(WINAPI* adjustForDpi)(RECT*, DWORD, BOOL, DWORD, UINT) = nullptr;
    BOOL(WINAPI* parametersForDpi)(UINT, UINT, void*, UINT, UINT) = nullptr;
    BOOL(WINAPI* dialogBehaviour)(HWND, int, int) = nullptr;

    PerMonitor() {
        const HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
        dpiForWindow = win32::bindExport<decltype(dpiForWindow)>(user32, "GetDpiForWindow");
        metricForDpi = win32::bindExport<decltype(metricForDpi)>(user32, "GetSystemMetricsForDpi");
        adjustForDpi =
            win32::bindExport<decltype(adjustForDpi)>(user32, "AdjustWindowRectExForDpi");
        parametersForDpi =
            win32::bindExport<decltype(parametersForDpi)>(user32, "SystemParametersInfoForDpi");
        dialogBehaviour =
            win32::bindExport<decltype(dialogBehaviour)>(user32, "SetDialogDpiChangeBehavior");
    }
};

const PerMonitor& perMonitor() {
    static const PerMonitor functions;
    return functions;
}

constexpr int kDisableAll = 1;  // DDC_DISABLE_ALL

}  // namespace

int system() {
    const win32::ScreenDc screen(::GetDC(nullptr));
    const int found = screen ? ::GetDeviceCaps(screen.get(), LOGPIXELSY) : 0;
    return found > 0 ? found : 96;
}

int ofWindow(HWND window) {
    const UINT found = perMonitor().dpiForWindow ? perMonitor().dpiForWindow(window) : 0;
    return found > 0 ? static_cast<int>(found) : system();
}

int metric(int index, int dpi) {
    if (perMonitor().metricForDpi) return perMonitor().metricForDpi(index, static_cast<UINT>(dpi));
    return mulDiv(::GetSystemMetrics(index), dpi, system());
}

RECT frameFor(int clientWidth, int clientHeight, DWORD style, DWORD exStyle, int dpi) {
    RECT frame{0, 0, clientWidth, clientHeight};
    if (!perMonitor().adjustForDpi ||
        !perMonitor().adjustForDpi(&frame, style, FALSE, exStyle, static_cast<UINT>(dpi))) {
        frame = {0, 0, clientWidth, clientHeight};
        ::AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    }
    return frame;
}

LOGFONTW messageFont(int dpi) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (perMonitor().parametersForDpi &&
        perMonitor().parametersForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0,
                                      static_cast<UINT>(dpi))) {
        return metrics.lfMessageFont;
    }
    if (!::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
        ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(LOGFONTW), &metrics.lfMessageFont);
    }
    LOGFONTW font = metrics.lfMessageFont;
    font.lfHeight = fontHeightAt(font.lfHeight, system(), dpi);
    return font;
}

void keepDialogManagerOut(HWND window) {
    if (perMonitor().dialogBehaviour)
        perMonitor().dialogBehaviour(window, kDisableAll, kDisableAll);
}

}  // namespace platform::dpi
