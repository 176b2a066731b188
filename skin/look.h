// The GDI side of one skin: the objects it paints with, made once when the
// skin is put in force and freed with it, never per paint.
#pragma once

#include <windows.h>

#include <array>
#include <optional>

#include "skin/button_paint.h"
#include "skin/gdi_count.h"
#include "skin/skin_file.h"
#include "skin/skin_paint.h"

namespace skin {

inline COLORREF toColorRef(Colour c) { return RGB(c.red, c.green, c.blue); }

// What one colour request is answered with: no brush leaves the background
// to the window's own answer, no text colour leaves the text colour.
struct Answer {
    HBRUSH brush = nullptr;
    COLORREF background = 0;
    std::optional<COLORREF> text;
};

class Look {
  public:
    explicit Look(const Skin& skin);
    Look(const Look&) = delete;
    Look& operator=(const Look&) = delete;

    const Skin& skin() const { return skin_; }
    Answer answer(Element element) const;
    std::optional<COLORREF> statusBackground() const;
    // Null when the skin leaves push buttons in the system's look.
    const ButtonTools* buttons() const { return buttons_ ? &*buttons_ : nullptr; }

  private:
    Skin skin_;
    // One brush per distinct background colour; byElement_ points into it.
    std::array<CountedBrush, kElementCount> owned_;
    std::array<HBRUSH, kElementCount> byElement_{};
    std::optional<ButtonTools> buttons_;
};

}  // namespace skin
