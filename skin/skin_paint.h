// Which skin colours a window's part is painted with, decided from what a
// control tells its parent when it asks for colours. Portable, so that the
// choices are tested natively; the library only carries them out.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "skin/skin_file.h"

namespace skin {

enum class Element : std::uint8_t {
    Window,  // a top-level window's or dialog's own background
    Label,   // static text, radio buttons and check boxes
    Group,   // a group box's caption and background
    Button,  // push buttons: only the corners around the face
    List,
    Edit,    // editable or read-only
    Status,  // the status bar's text; its background is set on the bar
};
inline constexpr std::size_t kElementCount = 7;

struct Paint {
    std::optional<Colour> background;
    std::optional<Colour> text;
    bool operator==(const Paint&) const = default;
};

// An absent colour leaves the system's own choice in place.
Paint paintFor(const Skin& skin, Element element);

// A skinned push button's colours, every state resolved.
struct ButtonColours {
    Colour face;
    Colour text;
    Colour border;
    Colour hot;
    Colour pressed;
    Colour disabled;  // text
    Colour focus;
    bool operator==(const ButtonColours&) const = default;
};

// The system's own button colours, for the keys a skin leaves out.
struct SystemButtonColours {
    Colour face;
    Colour text;
    Colour border;
    Colour disabled;
};

// Nothing when the skin sets no button colour: buttons keep the system's
// look. A key left out takes the system's colour; hot and pressed fall back to
// the face, the focus cue to the text.
std::optional<ButtonColours> buttonColours(const Skin& skin, const SystemButtonColours& system);

// A skinned push button's measures in pixels at a DPI: the frame's width
// (the default button's second frame and the focus cue are as wide), the
// focus cue's inset, the caption's inset and how far it moves while pushed.
struct ButtonMetrics {
    int frame;
    int focusInset;
    int captionX;
    int captionY;
    int pushOffset;
    bool operator==(const ButtonMetrics&) const = default;
};

// The measures drawn at 96 DPI, scaled to `dpi` and rounded as the window's
// layout rounds, so that the button keeps pace with its window and text.
ButtonMetrics buttonMetricsAt(int dpi);

// A push button, plain or default: the buttons the skin draws. Radio
// buttons, check boxes, group boxes and owner-drawn buttons are not.
bool isPushButton(std::wstring_view controlClass, std::uint32_t controlStyle);

// The colour requests windows send their parent (WM_CTLCOLOR*); the values
// are fixed by the Windows ABI.
inline constexpr unsigned kCtlColorMsgBox = 0x0132;
inline constexpr unsigned kCtlColorEdit = 0x0133;
inline constexpr unsigned kCtlColorListBox = 0x0134;
inline constexpr unsigned kCtlColorBtn = 0x0135;
inline constexpr unsigned kCtlColorDlg = 0x0136;
inline constexpr unsigned kCtlColorScrollBar = 0x0137;
inline constexpr unsigned kCtlColorStatic = 0x0138;

// The element that a colour request paints, from the message, the asking
// control's class name and its style; nothing for requests the skin leaves
// to the system.
std::optional<Element> elementFor(unsigned message, std::wstring_view controlClass,
                                  std::uint32_t controlStyle);

}  // namespace skin
