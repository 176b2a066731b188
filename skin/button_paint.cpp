#include "skin/button_paint.h"

#include "skin/look.h"
#include "win32/bind_export.h"

namespace skin {
namespace {

Colour fromColorRef(COLORREF c) { return Colour{GetRValue(c), GetGValue(c), GetBValue(c)}; }

// A frame `width` pixels wide in the brush, inset from the area: one-pixel
// rings, inside one another.
void frame(HDC dc, RECT area, int inset, int width, HBRUSH brush) {
    ::InflateRect(&area, -inset, -inset);
    for (int ring = 0; ring < width; ++ring) {
        if (area.right <= area.left || area.bottom <= area.top) return;
        ::FrameRect(dc, &area, brush);
        ::InflateRect(&area, -1, -1);
    }
}

HBRUSH faceFor(const ButtonTools& tools, const ButtonState& state) {
    if (!state.enabled) return tools.face();
    if (state.pushed) return tools.pressed();
    return state.hot ? tools.hot() : tools.face();
}

}  // namespace

SystemButtonColours systemButtonColours() {
    return {fromColorRef(::GetSysColor(COLOR_BTNFACE)), fromColorRef(::GetSysColor(COLOR_BTNTEXT)),
            fromColorRef(::GetSysColor(COLOR_3DDKSHADOW)),
            fromColorRef(::GetSysColor(COLOR_GRAYTEXT))};
}

ButtonTools::ButtonTools(const ButtonColours& colours)
    : colours_(colours),
      face_(counted<CountedBrush>(::CreateSolidBrush(toColorRef(colours.face)))),
      hot_(counted<CountedBrush>(::CreateSolidBrush(toColorRef(colours.hot)))),
      pressed_(counted<CountedBrush>(::CreateSolidBrush(toColorRef(colours.pressed)))),
      border_(counted<CountedBrush>(::CreateSolidBrush(toColorRef(colours.border)))),
      focus_(counted<CountedBrush>(::CreateSolidBrush(toColorRef(colours.focus)))) {}

int dpiOf(HWND button) {
    // Windows 10 1607 and later; bound by name so that the library still
    // loads on older systems.
    const auto dpiForWindow = win32::bindExport<UINT(WINAPI*)(HWND)>(
        ::GetModuleHandleW(L"user32.dll"), "GetDpiForWindow");
    const UINT found = dpiForWindow ? dpiForWindow(button) : 0;
    if (found > 0) return static_cast<int>(found);
    // The system DPI, read as the window reads it.
    const win32::ScreenDc screen(::GetDC(nullptr));
    const int system = screen ? ::GetDeviceCaps(screen.get(), LOGPIXELSY) : 0;
    return system > 0 ? system : 96;
}

void drawButton(HDC dc, const RECT& area, const ButtonTools& tools, const ButtonState& state,
                const ButtonMetrics& metrics, HFONT font, std::wstring_view caption) {
    ::FillRect(dc, &area, faceFor(tools, state));
    frame(dc, area, 0, metrics.frame, tools.border());
    // The default button, the one Enter presses, wears a double frame.
    if (state.isDefault) frame(dc, area, metrics.frame, metrics.frame, tools.border());
    if (state.focusCue) frame(dc, area, metrics.focusInset, metrics.frame, tools.focus());

    RECT text = area;
    ::InflateRect(&text, -metrics.captionX, -metrics.captionY);
    // The caption moves with the face, as the system's pushed button does.
    if (state.pushed && state.enabled) ::OffsetRect(&text, metrics.pushOffset, metrics.pushOffset);
    const HGDIOBJ oldFont = font ? ::SelectObject(dc, font) : nullptr;
    ::SetBkMode(dc, TRANSPARENT);
    const ButtonColours& c = tools.colours();
    ::SetTextColor(dc, toColorRef(state.enabled ? c.text : c.disabled));
    UINT format = DT_CENTER | DT_HIDEPREFIX;
    if (state.multiline) {
        // DrawText cannot centre wrapped text vertically: measure it first.
        RECT measured = text;
        ::DrawTextW(dc, caption.data(), static_cast<int>(caption.size()), &measured,
                    format | DT_WORDBREAK | DT_CALCRECT);
        const int height = measured.bottom - measured.top;
        text.top += (text.bottom - text.top - height) / 2;
        format |= DT_WORDBREAK;
    } else {
        format |= DT_VCENTER | DT_SINGLELINE;
    }
    ::DrawTextW(dc, caption.data(), static_cast<int>(caption.size()), &text, format);
    if (oldFont) ::SelectObject(dc, oldFont);
}

}  // namespace skin
