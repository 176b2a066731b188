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
    Edit,  // editable or read-only
};
inline constexpr std::size_t kElementCount = 6;

struct Paint {
    std::optional<Colour> background;
    std::optional<Colour> text;
    bool operator==(const Paint&) const = default;
};

// An absent colour leaves the system's own choice in place.
Paint paintFor(const Skin& skin, Element element);

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
