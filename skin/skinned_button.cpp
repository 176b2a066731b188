#include "skin/skinned_button.h"

#include <array>
#include <string_view>

#include "skin/callback_guard.h"
#include "skin/debug_log.h"
#include "skin/gdi_count.h"
#include "skin/skin_state.h"
#include "skin/subclass.h"

namespace skin {
namespace {

constexpr wchar_t kHot[] = L"ZelkSkin.Hot";

LRESULT CALLBACK buttonProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam);

bool isPushButton(HWND window, DWORD style) {
    std::array<wchar_t, 16> name{};
    const int length = ::GetClassNameW(window, name.data(), static_cast<int>(name.size()));
    return length > 0 &&
           skin::isPushButton(std::wstring_view(name.data(), static_cast<std::size_t>(length)),
                              style);
}

ButtonState stateOf(HWND button) {
    const auto pushState = static_cast<UINT>(::SendMessageW(button, BM_GETSTATE, 0, 0));
    const auto uiState = static_cast<UINT>(::SendMessageW(button, WM_QUERYUISTATE, 0, 0));
    const auto style = static_cast<DWORD>(::GetWindowLongW(button, GWL_STYLE));
    ButtonState s;
    s.pushed = (pushState & BST_PUSHED) != 0;
    s.focusCue = (pushState & BST_FOCUS) != 0 && !(uiState & UISF_HIDEFOCUS);
    s.hot = ::GetPropW(button, kHot) != nullptr;
    s.enabled = ::IsWindowEnabled(button) != FALSE;
    s.isDefault = (style & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
    s.multiline = (style & BS_MULTILINE) != 0;
    return s;
}

// Drawn off screen and copied in one go: the button never shows a half-drawn
// state. Without memory for the copy it is drawn straight in.
void paintInto(HWND button, HDC target) {
    RECT area{};
    ::GetClientRect(button, &area);
    std::array<wchar_t, 256> caption{};
    const int length = ::GetWindowTextW(button, caption.data(), static_cast<int>(caption.size()));
    const std::wstring_view text(caption.data(), static_cast<std::size_t>(length > 0 ? length : 0));
    const auto font = reinterpret_cast<HFONT>(::SendMessageW(button, WM_GETFONT, 0, 0));
    const ButtonState state = stateOf(button);
    // Asked at every paint: a window moved to a monitor of another scale
    // draws its next paint at the new DPI.
    const ButtonMetrics metrics = buttonMetricsAt(dpiOf(button));

    const CountedDc memory = counted<CountedDc>(::CreateCompatibleDC(target));
    const CountedBitmap bitmap =
        counted<CountedBitmap>(::CreateCompatibleBitmap(target, area.right, area.bottom));
    if (!memory || !bitmap) {
        skin::state()->drawButton(target, area, state, metrics, font, text);
        return;
    }
    const HGDIOBJ old = ::SelectObject(memory.get(), bitmap.get());
    skin::state()->drawButton(memory.get(), area, state, metrics, font, text);
    ::BitBlt(target, 0, 0, area.right, area.bottom, memory.get(), 0, 0, SRCCOPY);
    ::SelectObject(memory.get(), old);
}

void paint(HWND button) {
    PAINTSTRUCT ps{};
    const HDC dc = ::BeginPaint(button, &ps);
    if (dc) paintInto(button, dc);
    ::EndPaint(button, &ps);
}

// The button's own procedure draws at once, outside WM_PAINT, when its state
// changes; hidden for the call, it does not, and the skin draws the new state
// once, without a flash of the system's look.
LRESULT withoutOwnDrawing(HWND button, WNDPROC previous, UINT message, WPARAM wParam,
                          LPARAM lParam) {
    const bool visible = (::GetWindowLongW(button, GWL_STYLE) & WS_VISIBLE) != 0;
    if (visible) ::DefWindowProcW(button, WM_SETREDRAW, FALSE, 0);
    const LRESULT result = ::CallWindowProcW(previous, button, message, wParam, lParam);
    if (visible && ::IsWindow(button)) {
        ::DefWindowProcW(button, WM_SETREDRAW, TRUE, 0);
        ::RedrawWindow(button, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    }
    return result;
}

// Whether the system will tell the button when the mouse leaves it. Asked
// rather than assumed: a move handled after the cursor has already left
// (late, on a busy machine) is answered by Windows with an immediate
// WM_MOUSELEAVE, but Wine's TrackMouseEvent then succeeds, tracks nothing and
// never sends one, and the button would stay hot.
bool leaveTracked(HWND button) {
    TRACKMOUSEEVENT query{sizeof query, TME_QUERY, nullptr, 0};
    return ::TrackMouseEvent(&query) && query.hwndTrack == button && (query.dwFlags & TME_LEAVE);
}

void setHot(HWND button, bool hot) {
    const bool marked = ::GetPropW(button, kHot) != nullptr;
    if (hot) {
        // Windows ends all tracking when it sends WM_MOUSELEAVE: a button still
        // marked hot whose leave is no longer tracked tracks it again.
        if (marked && leaveTracked(button)) return;
        TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, button, 0};
        const bool tracked = ::TrackMouseEvent(&track) && leaveTracked(button);
        if (tracked == marked) return;
        if (tracked) {
            ::SetPropW(button, kHot, reinterpret_cast<HANDLE>(1));
        } else {
            ::RemovePropW(button, kHot);  // not tracked: the cursor has already left
        }
    } else {
        if (!marked) return;
        ::RemovePropW(button, kHot);
    }
    ::RedrawWindow(button, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

LRESULT handleButtonMessage(HWND button, UINT message, WPARAM wParam, LPARAM lParam,
                            WNDPROC previous) {
    if (message == WM_NCDESTROY) {
        ::RemovePropW(button, kHot);
        unsubclass(button, buttonProc);
        return ::CallWindowProcW(previous, button, message, wParam, lParam);
    }
    if (!state() || !state()->drawsButtons()) {
        // The leave ends the system's tracking even while the skin stands
        // down: a mark kept would draw the button hot when the skin comes
        // back.
        if (message == WM_MOUSELEAVE) ::RemovePropW(button, kHot);
        return ::CallWindowProcW(previous, button, message, wParam, lParam);
    }
    switch (message) {
        case WM_PAINT:
            paint(button);
            return 0;
        case WM_PRINTCLIENT:
            paintInto(button, reinterpret_cast<HDC>(wParam));
            return 0;
        case WM_ERASEBKGND:
            return 1;  // the paint covers the whole button
        case WM_MOUSEMOVE:
            setHot(button, true);
            break;
        case WM_MOUSELEAVE:
            setHot(button, false);
            break;
        case WM_ENABLE:
        case WM_SETTEXT:
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
        case WM_UPDATEUISTATE:
        case BM_SETSTATE:
        case BM_SETSTYLE:
            return withoutOwnDrawing(button, previous, message, wParam, lParam);
        default:
            break;
    }
    return ::CallWindowProcW(previous, button, message, wParam, lParam);
}

LRESULT CALLBACK buttonProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam) {
    const WNDPROC previous = previousProc(button);
    if (!previous) return ::DefWindowProcW(button, message, wParam, lParam);
    // Should the skin's drawing fail, the button's own procedure still answers.
    return atCallbackBoundary(
        "an unexpected error was stopped in a skinned button's procedure", logStopped,
        [&] { return handleButtonMessage(button, message, wParam, lParam, previous); },
        [&] { return ::CallWindowProcW(previous, button, message, wParam, lParam); });
}

BOOL CALLBACK skinIfPushButton(HWND child, LPARAM) {
    if (isPushButton(child, static_cast<DWORD>(::GetWindowLongW(child, GWL_STYLE)))) {
        subclass(child, buttonProc);
    }
    return TRUE;
}

}  // namespace

void skinNewButton(HWND window, DWORD style) {
    if (isPushButton(window, style)) subclass(window, buttonProc);
}

void skinButtonsOf(HWND window) { ::EnumChildWindows(window, skinIfPushButton, 0); }

}  // namespace skin
