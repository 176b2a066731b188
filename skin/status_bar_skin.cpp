#include "skin/status_bar_skin.h"

#include "skin/enum_boundary.h"
#include "skin/subclass.h"
#include "win32/bind_export.h"

namespace skin {
namespace {

constexpr wchar_t kUnthemed[] = L"ZelkSkin.Unthemed";
constexpr UINT kStatusSetBkColor = 0x2001;       // SB_SETBKCOLOR (CCM_SETBKCOLOR)
constexpr COLORREF kDefaultColour = 0xFF000000;  // CLR_DEFAULT

// A themed status bar draws the theme and ignores its background colour; it
// is drawn the classic way while the skin colours it. uxtheme is only used
// when something in the process has loaded it already: if nothing has, no
// control is themed, and loading it here would be a DLL-planting path.
void setStatusTheme(HWND bar, bool themed) {
    using SetWindowThemeFn = HRESULT(WINAPI*)(HWND, const wchar_t*, const wchar_t*);
    using GetWindowThemeFn = HANDLE(WINAPI*)(HWND);
    const HMODULE uxtheme = ::GetModuleHandleW(L"uxtheme.dll");
    if (!uxtheme) return;
    const auto setTheme = win32::bindExport<SetWindowThemeFn>(uxtheme, "SetWindowTheme");
    const auto getTheme = win32::bindExport<GetWindowThemeFn>(uxtheme, "GetWindowTheme");
    if (!setTheme || !getTheme) return;
    if (themed) {
        // Give back only a theme that the skin took away.
        if (!::RemovePropW(bar, kUnthemed)) return;
        setTheme(bar, nullptr, nullptr);
    } else {
        // A bar that draws no theme (one of the program's own) needs nothing.
        if (!getTheme(bar)) return;
        // A class list naming no theme class; Wine treats an empty one as absent.
        setTheme(bar, L" ", L" ");
        ::SetPropW(bar, kUnthemed, reinterpret_cast<HANDLE>(1));
    }
    // Wine's SetWindowTheme does not tell the control; Windows' does, and a
    // second notice only makes it look its theme up again.
    ::SendMessageW(bar, WM_THEMECHANGED, 0, 0);
}

BOOL CALLBACK colourIfStatusBar(HWND child, LPARAM colour) {
    return enumBoundary([&] {
        if (isStatusBar(child)) {
            setStatusBackground(child, *reinterpret_cast<const std::optional<COLORREF>*>(colour));
        }
        return TRUE;
    });
}

}  // namespace

bool isStatusBar(HWND window) { return hasClass(window, L"msctls_statusbar32"); }

void setStatusBackground(HWND bar, std::optional<COLORREF> colour) {
    setStatusTheme(bar, !colour);
    ::SendMessageW(bar, kStatusSetBkColor, 0, static_cast<LPARAM>(colour.value_or(kDefaultColour)));
}

void colourStatusBars(HWND window, std::optional<COLORREF> colour) {
    ::EnumChildWindows(window, colourIfStatusBar, reinterpret_cast<LPARAM>(&colour));
}

}  // namespace skin
