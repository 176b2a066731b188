#include "skin/skinned_window.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string_view>

#include "skin/gdi_count.h"
#include "skin/skin_state.h"
#include "skin/skinned_button.h"
#include "skin/status_bar_skin.h"
#include "skin/subclass.h"

namespace skin {
namespace {

static_assert(kCtlColorMsgBox == WM_CTLCOLORMSGBOX && kCtlColorEdit == WM_CTLCOLOREDIT &&
              kCtlColorListBox == WM_CTLCOLORLISTBOX && kCtlColorBtn == WM_CTLCOLORBTN &&
              kCtlColorDlg == WM_CTLCOLORDLG && kCtlColorScrollBar == WM_CTLCOLORSCROLLBAR &&
              kCtlColorStatic == WM_CTLCOLORSTATIC);

bool ownedByProcess(HWND window, DWORD processId) {
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    return owner == processId;
}

BOOL CALLBACK skinExisting(HWND window, LPARAM) {
    const auto style = static_cast<DWORD>(::GetWindowLongW(window, GWL_STYLE));
    const bool messageOnly = ::GetAncestor(window, GA_PARENT) != ::GetDesktopWindow();
    if (!isSkinnable(window, style, messageOnly)) return TRUE;
    skinButtonsOf(window);
    if (subclass(window, skinnedProc)) refresh(window);
    return TRUE;
}

BOOL CALLBACK refreshSkinned(HWND window, LPARAM processId) {
    if (ownedByProcess(window, static_cast<DWORD>(processId)) && isSubclassed(window)) {
        refresh(window);
    }
    return TRUE;
}

BOOL CALLBACK unskin(HWND window, LPARAM processId) {
    if (!ownedByProcess(window, static_cast<DWORD>(processId))) return TRUE;
    unskinButtonsOf(window);
    unsubclass(window, skinnedProc);
    return TRUE;
}

LRESULT colourRequest(HWND window, UINT message, WPARAM wParam, LPARAM lParam, WNDPROC previous) {
    const auto control = reinterpret_cast<HWND>(lParam);
    std::array<wchar_t, 64> className{};
    const int length =
        control ? ::GetClassNameW(control, className.data(), static_cast<int>(className.size()))
                : 0;
    const auto style =
        control ? static_cast<std::uint32_t>(::GetWindowLongW(control, GWL_STYLE)) : 0u;
    const std::optional<Element> element = elementFor(
        message, std::wstring_view(className.data(), static_cast<std::size_t>(std::max(length, 0))),
        style);
    const Answer a = element ? state()->answer(*element) : Answer{};
    // The window's own answer comes first, so that the DC is set up as it
    // wants for whatever the skin leaves alone.
    const LRESULT own = ::CallWindowProcW(previous, window, message, wParam, lParam);
    const auto dc = reinterpret_cast<HDC>(wParam);
    if (a.text) ::SetTextColor(dc, *a.text);
    if (!a.brush) return own;
    ::SetBkColor(dc, a.background);
    return reinterpret_cast<LRESULT>(a.brush);
}

bool eraseBackground(HWND window, HDC dc) {
    const Answer a = state()->answer(Element::Window);
    if (!a.brush) return false;
    RECT client{};
    ::GetClientRect(window, &client);
    ::FillRect(dc, &client, a.brush);
    return true;
}

// A status bar made after the skin was attached.
void childCreated(HWND child) {
    if (!isStatusBar(child)) return;
    if (const auto status = state()->statusBackground()) setStatusBackground(child, status);
}

}  // namespace

LRESULT CALLBACK skinnedProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const WNDPROC previous = previousProc(window);
    if (!previous) return ::DefWindowProcW(window, message, wParam, lParam);
    switch (message) {
        case WM_CTLCOLORMSGBOX:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSTATIC:
            return colourRequest(window, message, wParam, lParam, previous);
        case WM_ERASEBKGND:
            if (eraseBackground(window, reinterpret_cast<HDC>(wParam))) return 1;
            break;
        case WM_PARENTNOTIFY:
            if (LOWORD(wParam) == WM_CREATE) childCreated(reinterpret_cast<HWND>(lParam));
            break;
        case WM_NCDESTROY:
            unsubclass(window, skinnedProc);
            break;
        default:
            // For tests: Wine's GetGuiResources cannot show a leak.
            if (message == countMessage() && message) return liveGdiObjects();
            break;
    }
    return ::CallWindowProcW(previous, window, message, wParam, lParam);
}

void refresh(HWND window) {
    colourStatusBars(window, state()->statusBackground());
    ::RedrawWindow(window, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

void skinThreadWindows(DWORD threadId) { ::EnumThreadWindows(threadId, skinExisting, 0); }

void refreshProcessWindows() {
    ::EnumWindows(refreshSkinned, static_cast<LPARAM>(::GetCurrentProcessId()));
}

void unskinProcessWindows() { ::EnumWindows(unskin, static_cast<LPARAM>(::GetCurrentProcessId())); }

}  // namespace skin
