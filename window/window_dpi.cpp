// The main window at the scale of the monitor it is on: laid out from the
// design at that DPI when it is made and again whenever Windows moves it to
// a monitor of another scale, with nothing the user sees lost on the way.
#include <windows.h>

#include <array>
#include <commctrl.h>
#include <utility>

#include "resources/form1_design.h"
#include "window/dpi.h"
#include "window/layout.h"
#include "window/main_window.h"
#include "window/status_bar.h"
#include "window/ui_font.h"

namespace platform {
namespace {

// What a new font would move: the notes' first visible character and the
// log's first visible line.
struct ReadingPlace {
    LRESULT notesFirstChar;
    LRESULT logTopIndex;
};

ReadingPlace readingPlace(HWND notes, HWND log) {
    const LRESULT firstLine = ::SendMessageW(notes, EM_GETFIRSTVISIBLELINE, 0, 0);
    return {::SendMessageW(notes, EM_LINEINDEX, static_cast<WPARAM>(firstLine), 0),
            ::SendMessageW(log, LB_GETTOPINDEX, 0, 0)};
}

void restoreReadingPlace(HWND notes, HWND log, const ReadingPlace& place) {
    const LRESULT line =
        ::SendMessageW(notes, EM_LINEFROMCHAR, static_cast<WPARAM>(place.notesFirstChar), 0);
    const LRESULT shown = ::SendMessageW(notes, EM_GETFIRSTVISIBLELINE, 0, 0);
    if (line != shown) ::SendMessageW(notes, EM_LINESCROLL, 0, line - shown);
    ::SendMessageW(log, LB_SETTOPINDEX, static_cast<WPARAM>(place.logTopIndex), 0);
}

int panelGap(HWND bar) {
    std::array<int, 3> borders{};
    ::SendMessageW(bar, SB_GETBORDERS, 0, reinterpret_cast<LPARAM>(borders.data()));
    return borders[2];
}

}  // namespace

RECT MainWindow::frameAt(int dpi) const {
    const WindowLayout layout = layoutAt(dpi, 0);
    const DWORD style =
        window_ ? static_cast<DWORD>(::GetWindowLongW(window_, GWL_STYLE)) : kCreationStyle;
    const DWORD exStyle = window_ ? static_cast<DWORD>(::GetWindowLongW(window_, GWL_EXSTYLE)) : 0;
    return dpi::frameFor(layout.clientWidth, layout.clientHeight, style, exStyle, dpi);
}

// The class's icons are made at the system's DPI; at another, the window
// shows its own, made for that DPI.
void MainWindow::showIcons() {
    win32::UniqueIcon big;
    win32::UniqueIcon small;
    if (dpi_ != systemDpi_) {
        big = loadAppIcon(instance_, dpi::metric(SM_CXICON, dpi_), dpi::metric(SM_CYICON, dpi_));
        small =
            loadAppIcon(instance_, dpi::metric(SM_CXSMICON, dpi_), dpi::metric(SM_CYSMICON, dpi_));
    }
    const HICON shownBig = big ? big.get() : bigIcon_.get();
    const HICON shownSmall = small ? small.get() : smallIcon_.get();
    ::SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(shownBig));
    ::SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(shownSmall));
    // The ones shown before are freed only now that the window no longer shows them.
    dpiBigIcon_ = std::move(big);
    dpiSmallIcon_ = std::move(small);
}

void MainWindow::placeControls() {
    const WindowLayout layout = layoutAt(dpi_, 0);
    for (const PlacedControl& placed : layout.controls) {
        const PixelRect& r = placed.rect;
        ::SetWindowPos(control(placed.id), nullptr, r.left, r.top, r.right - r.left,
                       r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
    }
}

// The bar's borders and the panels' edges at the window's DPI; the texts
// stay as the handlers left them.
void MainWindow::placePanels() {
    const HWND bar = control(design::kS1);
    ::SendMessageW(bar, kStatusBarSetDpi, static_cast<WPARAM>(dpi_), 0);
    std::array<int, 3> edges = layoutAt(dpi_, panelGap(bar)).panelRightEdges;
    ::SendMessageW(bar, SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
}

// Everything sized by the DPI is made again from the design; what the user
// did (the log and its selection, the notes' place, the focus, captions,
// texts, the chosen option, a disabled button) is left as it is.
void MainWindow::applyDpi(int dpi) {
    dpi_ = dpi;
    const HWND notes = control(design::kText1);
    const HWND log = control(design::kList1);
    const ReadingPlace place = readingPlace(notes, log);
    if (win32::UniqueGdiObject font = createUiFont(dpi_)) {
        for (const auto& c : design::kControls) {
            ::SendMessageW(control(c.id), WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
        }
        // The old font is freed only now that no control draws with it.
        font_ = std::move(font);
    }
    placeControls();
    placePanels();
    restoreReadingPlace(notes, log, place);
    showIcons();
    ::RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

// As Windows asks: the new DPI, then the rectangle it suggests. Answered
// here and never passed to the dialog manager, which would lay the window
// out a second time by its own rules.
LRESULT MainWindow::onDpiChanged(int dpi, const RECT* suggested) {
    if (dpi > 0 && dpi != dpi_) applyDpi(dpi);
    if (suggested) {
        ::SetWindowPos(window_, nullptr, suggested->left, suggested->top,
                       suggested->right - suggested->left, suggested->bottom - suggested->top,
                       SWP_NOZORDER | SWP_NOACTIVATE);
    }
    return 0;
}

// The size Windows suggests with the change is the design's at the new DPI,
// not the old size scaled, which rounding and the frame would make differ.
LRESULT MainWindow::onGetDpiScaledSize(int dpi, SIZE* size) const {
    if (!size || dpi <= 0) return FALSE;
    const RECT frame = frameAt(dpi);
    size->cx = frame.right - frame.left;
    size->cy = frame.bottom - frame.top;
    return TRUE;
}

}  // namespace platform
