#include "skin/skin_paint.h"

#include <algorithm>

#include "win32/mul_div.h"

namespace skin {
namespace {

constexpr std::uint32_t kButtonTypeMask = 0x0F;  // BS_TYPEMASK
constexpr std::uint32_t kGroupBox = 0x07;        // BS_GROUPBOX
constexpr std::uint32_t kPushButton = 0x00;      // BS_PUSHBUTTON
constexpr std::uint32_t kDefPushButton = 0x01;   // BS_DEFPUSHBUTTON

wchar_t lower(wchar_t c) {
    return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

// Window class names are matched without regard to case, as Windows does.
bool isClass(std::wstring_view name, std::wstring_view expected) {
    return name.size() == expected.size() &&
           std::equal(name.begin(), name.end(), expected.begin(),
                      [](wchar_t a, wchar_t b) { return lower(a) == lower(b); });
}

// Pixels at 96 DPI to pixels at `dpi`, rounded as the window's layout rounds.
int scaled(int pixels, int dpi) { return win32::mulDiv(pixels, dpi, 96); }

}  // namespace

ButtonMetrics buttonMetricsAt(int dpi) {
    const int frame = scaled(1, dpi);
    const int focusInset = scaled(3, dpi);
    // The caption starts right after the focus cue, as at 96 DPI: rounded on
    // its own it would start inside the cue at 144 and 240 DPI.
    return {frame, focusInset, focusInset + frame, scaled(2, dpi), scaled(1, dpi)};
}

Paint paintFor(const Skin& skin, Element element) {
    switch (element) {
        case Element::Window:
        case Element::Label:
            return {skin.windowBackground, skin.windowText};
        case Element::Group:
            // A group box sits on the window: without its own colours it
            // takes the window's, never the system grey in a skinned window.
            return {skin.groupBackground ? skin.groupBackground : skin.windowBackground,
                    skin.groupText ? skin.groupText : skin.windowText};
        case Element::Button:
            return {skin.windowBackground, std::nullopt};
        case Element::List:
            return {skin.listBackground, skin.listText};
        case Element::Edit:
            return {skin.editBackground, skin.editText};
        case Element::Status:
            return {std::nullopt, skin.statusText};
    }
    return {};
}

std::optional<ButtonColours> buttonColours(const Skin& skin, const SystemButtonColours& system) {
    const bool anySet = skin.buttonFace || skin.buttonText || skin.buttonBorder || skin.buttonHot ||
                        skin.buttonPressed || skin.buttonDisabled || skin.buttonFocus;
    if (!anySet) return std::nullopt;
    ButtonColours c;
    c.face = skin.buttonFace.value_or(system.face);
    c.text = skin.buttonText.value_or(system.text);
    c.border = skin.buttonBorder.value_or(system.border);
    c.hot = skin.buttonHot.value_or(c.face);
    c.pressed = skin.buttonPressed.value_or(c.face);
    c.disabled = skin.buttonDisabled.value_or(system.disabled);
    c.focus = skin.buttonFocus.value_or(c.text);
    return c;
}

bool isPushButton(std::wstring_view controlClass, std::uint32_t controlStyle) {
    const std::uint32_t type = controlStyle & kButtonTypeMask;
    return isClass(controlClass, L"Button") && (type == kPushButton || type == kDefPushButton);
}

std::optional<Element> elementFor(unsigned message, std::wstring_view controlClass,
                                  std::uint32_t controlStyle) {
    switch (message) {
        case kCtlColorDlg:
        case kCtlColorMsgBox:
            return Element::Window;
        case kCtlColorEdit:
            return Element::Edit;
        case kCtlColorListBox:
            return Element::List;
        case kCtlColorBtn:
            return Element::Button;
        case kCtlColorStatic:
            // Read-only and disabled edit boxes ask as statics; they keep the
            // edit colours so that their text stays on the edit background.
            if (isClass(controlClass, L"Edit")) return Element::Edit;
            // Our status bar asks for its text colour as a static would.
            if (isClass(controlClass, L"msctls_statusbar32")) return Element::Status;
            if (isClass(controlClass, L"Button") && (controlStyle & kButtonTypeMask) == kGroupBox) {
                return Element::Group;
            }
            return Element::Label;
        default:
            return std::nullopt;
    }
}

}  // namespace skin
