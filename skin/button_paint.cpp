#include "skin/button_paint.h"

#include "skin/look.h"

namespace skin {
namespace {

Colour fromColorRef(COLORREF c) { return Colour{GetRValue(c), GetGValue(c), GetBValue(c)}; }

// A one-pixel frame in the pen, inset from the area.
void frame(HDC dc, RECT area, int inset, HPEN pen) {
    ::InflateRect(&area, -inset, -inset);
    if (area.right <= area.left || area.bottom <= area.top) return;
    const HGDIOBJ oldPen = ::SelectObject(dc, pen);
    const HGDIOBJ oldBrush = ::SelectObject(dc, ::GetStockObject(NULL_BRUSH));
    ::Rectangle(dc, area.left, area.top, area.right, area.bottom);
    ::SelectObject(dc, oldBrush);
    ::SelectObject(dc, oldPen);
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
      border_(counted<CountedPen>(::CreatePen(PS_SOLID, 1, toColorRef(colours.border)))),
      focus_(counted<CountedPen>(::CreatePen(PS_SOLID, 1, toColorRef(colours.focus)))) {}

void drawButton(HDC dc, const RECT& area, const ButtonTools& tools, const ButtonState& state,
                HFONT font, std::wstring_view caption) {
    ::FillRect(dc, &area, faceFor(tools, state));
    frame(dc, area, 0, tools.border());
    // The default button, the one Enter presses, wears a double frame.
    if (state.isDefault) frame(dc, area, 1, tools.border());
    if (state.focusCue) frame(dc, area, 3, tools.focus());

    RECT text = area;
    ::InflateRect(&text, -4, -2);
    // The caption moves with the face, as the system's pushed button does.
    if (state.pushed && state.enabled) ::OffsetRect(&text, 1, 1);
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
