#include "skin/skinned_window.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string_view>

#include "skin/callback_guard.h"
#include "skin/debug_log.h"
#include "skin/enum_boundary.h"
#include "skin/gdi_count.h"
#include "skin/high_contrast.h"
#include "skin/skin_state.h"
#include "skin/skinned_button.h"
#include "skin/status_bar_skin.h"
#include "skin/subclass.h"
#include "skin/thread_hooks.h"

namespace skin {
namespace {

static_assert(kCtlColorMsgBox == WM_CTLCOLORMSGBOX && kCtlColorEdit == WM_CTLCOLOREDIT &&
              kCtlColorListBox == WM_CTLCOLORLISTBOX && kCtlColorBtn == WM_CTLCOLORBTN &&
              kCtlColorDlg == WM_CTLCOLORDLG && kCtlColorScrollBar == WM_CTLCOLORSCROLLBAR &&
              kCtlColorStatic == WM_CTLCOLORSTATIC);
static_assert(kSysColorChange == WM_SYSCOLORCHANGE && kSettingChange == WM_SETTINGCHANGE &&
              kThemeChanged == WM_THEMECHANGED && kSetHighContrast == SPI_SETHIGHCONTRAST);

BOOL CALLBACK skinExisting(HWND window, LPARAM changed) {
    return enumBoundary([&] {
        const auto style = static_cast<DWORD>(::GetWindowLongW(window, GWL_STYLE));
        const bool messageOnly = ::GetAncestor(window, GA_PARENT) != ::GetDesktopWindow();
        if (!isSkinnable(window, style, messageOnly)) return TRUE;
        skinButtonsOf(window);
        if (subclass(window, skinnedProc)) {
            refresh(window);
        } else if (changed && isSubclassed(window)) {
            refresh(window);
        }
        return TRUE;
    });
}

struct Posting {
    UINT message;
    DWORD except;
    const ThreadHooks* hooks;
    std::uint32_t threads;
};

BOOL CALLBACK postIfSkinnedElsewhere(HWND window, LPARAM context) {
    return enumBoundary([&] {
        auto& p = *reinterpret_cast<Posting*>(context);
        DWORD process = 0;
        const DWORD thread = ::GetWindowThreadProcessId(window, &process);
        if (process == ::GetCurrentProcessId() && thread != p.except && isSubclassed(window) &&
            ::PostMessageW(window, p.message, 0, 0)) {
            p.threads |= p.hooks->bitOf(thread);
        }
        return TRUE;
    });
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
    // The window's own answer comes first, so that the DC is set up as it
    // wants for whatever the skin leaves alone; the skin's is taken after it,
    // so that nothing but the control's painting comes between taking a
    // brush and using it.
    const LRESULT own = ::CallWindowProcW(previous, window, message, wParam, lParam);
    const Answer a = element ? state()->answer(*element) : Answer{};
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

LRESULT handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, WNDPROC previous) {
    const UINT refreshMessage = state()->refreshMessage();
    if (refreshMessage && message == refreshMessage) {
        // Only ever posted, so it comes from the thread's message loop: no
        // paint of this thread is under way.
        state()->threadQuiet(::GetCurrentThreadId());
        refresh(window);
        return 0;
    }
    if (mayAnnounceContrastSwitch(message, wParam)) {
        // Each top-level window hears it and repaints itself.
        state()->followSystemContrast();
        refresh(window);
    }
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

}  // namespace

LRESULT CALLBACK skinnedProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const WNDPROC previous = previousProc(window);
    if (!previous) return ::DefWindowProcW(window, message, wParam, lParam);
    // Should the skin's part fail, the window's own procedure still answers.
    return atCallbackBoundary(
        "an unexpected error was stopped in a skinned window's procedure", logStopped,
        [&] { return handleMessage(window, message, wParam, lParam, previous); },
        [&] { return ::CallWindowProcW(previous, window, message, wParam, lParam); });
}

void refresh(HWND window) {
    colourStatusBars(window, state()->statusBackground());
    ::RedrawWindow(window, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

void skinThreadWindows(bool changed) {
    ::EnumThreadWindows(::GetCurrentThreadId(), skinExisting, changed);
}

std::uint32_t postToOtherThreads(UINT message, DWORD except, const ThreadHooks& hooks) {
    Posting p{message, except, &hooks, 0};
    ::EnumWindows(postIfSkinnedElsewhere, reinterpret_cast<LPARAM>(&p));
    return p.threads;
}

}  // namespace skin
