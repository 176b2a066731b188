// How the skin draws a push button: the pens and brushes of one look, made
// with it, and the drawing of one state into a device context.
#pragma once

#include <windows.h>

#include <string_view>

#include "skin/gdi_count.h"
#include "skin/skin_paint.h"

namespace skin {

// The system's colours for the button keys a skin leaves out.
SystemButtonColours systemButtonColours();

class ButtonTools {
  public:
    explicit ButtonTools(const ButtonColours& colours);
    ButtonTools(const ButtonTools&) = delete;
    ButtonTools& operator=(const ButtonTools&) = delete;

    const ButtonColours& colours() const { return colours_; }
    HBRUSH face() const { return face_.get(); }
    HBRUSH hot() const { return hot_.get(); }
    HBRUSH pressed() const { return pressed_.get(); }
    HBRUSH border() const { return border_.get(); }
    HBRUSH focus() const { return focus_.get(); }

  private:
    ButtonColours colours_;
    CountedBrush face_;
    CountedBrush hot_;
    CountedBrush pressed_;
    // Frames are filled, not stroked: a brush serves every DPI, where a pen
    // would be one width, so a window moved to another monitor needs no
    // other object.
    CountedBrush border_;
    CountedBrush focus_;
};

struct ButtonState {
    bool pushed = false;
    bool hot = false;
    bool focusCue = false;  // focused, and the keyboard cues are shown
    bool enabled = true;
    bool isDefault = false;
    bool multiline = false;
};

// Draws the whole button in `area` with the measures of its DPI; the caption
// in the given font, centred, without access-key underlines.
void drawButton(HDC dc, const RECT& area, const ButtonTools& tools, const ButtonState& state,
                const ButtonMetrics& metrics, HFONT font, std::wstring_view caption);

// The button's DPI: its window's where the system has per-monitor DPI, the
// system's otherwise.
int dpiOf(HWND button);

}  // namespace skin
