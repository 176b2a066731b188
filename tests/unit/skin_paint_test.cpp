// How colour requests from the window's controls are answered.
#include "skin/skin_paint.h"

#include <gtest/gtest.h>
#include <optional>
#include <string>

namespace {

using skin::Colour;
using skin::Element;
using skin::Paint;
using skin::Skin;

// Styles as the program creates its controls (WS_CHILD | WS_VISIBLE | ...).
constexpr std::uint32_t kChildVisible = 0x50000000;
constexpr std::uint32_t kGroupBox = 0x7;
constexpr std::uint32_t kAutoRadio = 0x9;
constexpr std::uint32_t kPushButton = 0x0;
constexpr std::uint32_t kCheckBox = 0x3;
constexpr std::uint32_t kOwnerDraw = 0xB;
constexpr std::uint32_t kDefCommandLink = 0xF;
constexpr std::uint32_t kWsGroup = 0x00020000;
constexpr std::uint32_t kEsReadOnly = 0x0800;

TEST(SkinPaint, ElementOfEachColourRequest) {
    struct Case {
        const char* name;
        unsigned message;
        const wchar_t* controlClass;
        std::uint32_t style;
        std::optional<Element> expected;
    };
    const Case cases[] = {
        {"dialog background", skin::kCtlColorDlg, L"#32770", 0, Element::Window},
        {"message box", skin::kCtlColorMsgBox, L"#32770", 0, Element::Window},
        {"group box", skin::kCtlColorStatic, L"Button", kChildVisible | kGroupBox, Element::Group},
        {"first group box of a group", skin::kCtlColorStatic, L"Button",
         kChildVisible | kWsGroup | kGroupBox, Element::Group},
        {"class name in capitals", skin::kCtlColorStatic, L"BUTTON", kChildVisible | kGroupBox,
         Element::Group},
        {"radio button", skin::kCtlColorStatic, L"Button", kChildVisible | kAutoRadio,
         Element::Label},
        {"check box", skin::kCtlColorStatic, L"Button", kChildVisible | kCheckBox, Element::Label},
        {"owner-drawn button", skin::kCtlColorStatic, L"Button", kChildVisible | kOwnerDraw,
         Element::Label},
        {"command link: its type holds every bit of a group box's", skin::kCtlColorStatic,
         L"Button", kChildVisible | kDefCommandLink, Element::Label},
        {"static text", skin::kCtlColorStatic, L"Static", kChildVisible, Element::Label},
        {"group box style on a static", skin::kCtlColorStatic, L"Static", kChildVisible | kGroupBox,
         Element::Label},
        {"read-only edit asks as a static", skin::kCtlColorStatic, L"Edit",
         kChildVisible | kEsReadOnly, Element::Edit},
        {"edit in lower case", skin::kCtlColorStatic, L"edit", kChildVisible, Element::Edit},
        {"a class that only starts like Edit", skin::kCtlColorStatic, L"EditBox", kChildVisible,
         Element::Label},
        {"a class that Edit only starts", skin::kCtlColorStatic, L"Edi", kChildVisible,
         Element::Label},
        {"trackbar", skin::kCtlColorStatic, L"msctls_trackbar32", kChildVisible, Element::Label},
        {"unknown control", skin::kCtlColorStatic, L"", 0, Element::Label},
        {"editable edit", skin::kCtlColorEdit, L"Edit", kChildVisible, Element::Edit},
        {"list box", skin::kCtlColorListBox, L"ListBox", kChildVisible, Element::List},
        {"push button", skin::kCtlColorBtn, L"Button", kChildVisible | kPushButton,
         Element::Button},
        {"our status bar asks for its text colour", skin::kCtlColorStatic, L"msctls_statusbar32",
         kChildVisible, Element::Status},
        {"scroll bar", skin::kCtlColorScrollBar, L"ScrollBar", kChildVisible, std::nullopt},
        {"not a colour request (WM_PAINT)", 0x000F, L"Button", kChildVisible | kGroupBox,
         std::nullopt},
        {"just past the range", skin::kCtlColorStatic + 1, L"Static", kChildVisible, std::nullopt},
        {"just before the range", skin::kCtlColorMsgBox - 1, L"Static", kChildVisible,
         std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(skin::elementFor(c.message, c.controlClass, c.style), c.expected);
    }
}

Skin everyColourDistinct() {
    Skin s;
    s.windowBackground = Colour{1, 0, 0};
    s.windowText = Colour{2, 0, 0};
    s.groupBackground = Colour{3, 0, 0};
    s.groupText = Colour{4, 0, 0};
    s.listBackground = Colour{5, 0, 0};
    s.listText = Colour{6, 0, 0};
    s.editBackground = Colour{7, 0, 0};
    s.editText = Colour{8, 0, 0};
    s.statusBackground = Colour{9, 0, 0};
    s.statusText = Colour{10, 0, 0};
    return s;
}

TEST(SkinPaint, EachElementTakesItsOwnColours) {
    const Skin s = everyColourDistinct();
    struct Case {
        Element element;
        Paint expected;
    };
    const Case cases[] = {
        {Element::Window, {Colour{1, 0, 0}, Colour{2, 0, 0}}},
        {Element::Label, {Colour{1, 0, 0}, Colour{2, 0, 0}}},
        {Element::Group, {Colour{3, 0, 0}, Colour{4, 0, 0}}},
        {Element::Button, {Colour{1, 0, 0}, std::nullopt}},  // the face keeps the system's look
        {Element::List, {Colour{5, 0, 0}, Colour{6, 0, 0}}},
        {Element::Edit, {Colour{7, 0, 0}, Colour{8, 0, 0}}},
        {Element::Status, {std::nullopt, Colour{10, 0, 0}}},  // the bar's background is set
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.element));
        EXPECT_EQ(skin::paintFor(s, c.element), c.expected);
    }
}

TEST(SkinPaint, GroupBoxesFallBackToTheWindowNotTheSystem) {
    Skin s = everyColourDistinct();
    s.groupBackground.reset();
    EXPECT_EQ(skin::paintFor(s, Element::Group), (Paint{Colour{1, 0, 0}, Colour{4, 0, 0}}));
    s.groupText.reset();
    EXPECT_EQ(skin::paintFor(s, Element::Group), (Paint{Colour{1, 0, 0}, Colour{2, 0, 0}}));
    s.windowBackground.reset();
    s.windowText.reset();
    EXPECT_EQ(skin::paintFor(s, Element::Group), Paint{});
}

TEST(SkinPaint, MissingColoursAreLeftToTheSystem) {
    Skin onlyList;
    onlyList.listText = Colour{6, 0, 0};
    for (std::size_t e = 0; e < skin::kElementCount; ++e) {
        const auto element = static_cast<Element>(e);
        SCOPED_TRACE(e);
        const Paint expected =
            element == Element::List ? Paint{std::nullopt, Colour{6, 0, 0}} : Paint{};
        EXPECT_EQ(skin::paintFor(onlyList, element), expected);
    }
}

TEST(SkinPaint, OnlyPushButtonsAreDrawnByTheSkin) {
    constexpr std::uint32_t kDefPushButton = 0x1;
    constexpr std::uint32_t kMultiline = 0x2000;
    struct Case {
        const wchar_t* controlClass;
        std::uint32_t style;
        bool expected;
    };
    const Case cases[] = {
        {L"Button", kChildVisible | kPushButton, true},
        {L"button", kChildVisible | kDefPushButton | kMultiline, true},
        {L"Button", kChildVisible | kAutoRadio, false},
        {L"Button", kChildVisible | kCheckBox, false},
        {L"Button", kChildVisible | kGroupBox, false},
        {L"Button", kChildVisible | kOwnerDraw, false},
        {L"Button", kChildVisible | kDefCommandLink, false},
        {L"Static", kChildVisible | kPushButton, false},
        {L"Buttons", kChildVisible | kPushButton, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.style);
        EXPECT_EQ(skin::isPushButton(c.controlClass, c.style), c.expected);
    }
}

TEST(SkinPaint, ButtonMeasuresFollowTheWindowsDpiRoundedAsTheLayoutIs) {
    struct Case {
        int dpi;
        skin::ButtonMetrics expected;  // frame, focus inset, caption inset x and y, push
    };
    const Case cases[] = {
        {96, {1, 3, 4, 2, 1}},   // 96 DPI keeps the pixels it always had
        {120, {1, 4, 5, 3, 1}},  // 2.5 goes up, 1.25 down
        {144, {2, 5, 7, 3, 2}},  // 1.5 and 4.5: halves go up, as MulDiv rounds them
        {192, {2, 6, 8, 4, 2}}, {240, {3, 8, 11, 5, 3}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dpi);
        const skin::ButtonMetrics m = skin::buttonMetricsAt(c.dpi);
        EXPECT_EQ(m, c.expected) << m.frame << ' ' << m.focusInset << ' ' << m.captionX << 'x'
                                 << m.captionY << ' ' << m.pushOffset;
    }
    // At any scale Windows offers, the caption starts clear of the focus cue.
    for (int dpi = 96; dpi <= 480; dpi += 24) {
        const skin::ButtonMetrics m = skin::buttonMetricsAt(dpi);
        EXPECT_GE(m.captionX, m.focusInset + m.frame) << dpi << " DPI";
    }
}

TEST(SkinPaint, ButtonColoursEveryStateAndWhatALeftOutKeyTakes) {
    const skin::SystemButtonColours system{Colour{0xF0, 0, 0}, Colour{0xF1, 0, 0},
                                           Colour{0xF2, 0, 0}, Colour{0xF3, 0, 0}};
    // No button key: the buttons keep the system's look, whatever else is set.
    EXPECT_EQ(skin::buttonColours(everyColourDistinct(), system), std::nullopt);

    Skin all;
    all.buttonFace = Colour{1, 0, 0};
    all.buttonText = Colour{2, 0, 0};
    all.buttonBorder = Colour{3, 0, 0};
    all.buttonHot = Colour{4, 0, 0};
    all.buttonPressed = Colour{5, 0, 0};
    all.buttonDisabled = Colour{6, 0, 0};
    all.buttonFocus = Colour{7, 0, 0};
    EXPECT_EQ(
        skin::buttonColours(all, system),
        (skin::ButtonColours{Colour{1, 0, 0}, Colour{2, 0, 0}, Colour{3, 0, 0}, Colour{4, 0, 0},
                             Colour{5, 0, 0}, Colour{6, 0, 0}, Colour{7, 0, 0}}));

    // One key alone: the states follow the face and the text it leaves.
    Skin faceOnly;
    faceOnly.buttonFace = Colour{1, 0, 0};
    EXPECT_EQ(skin::buttonColours(faceOnly, system),
              (skin::ButtonColours{Colour{1, 0, 0}, Colour{0xF1, 0, 0}, Colour{0xF2, 0, 0},
                                   Colour{1, 0, 0}, Colour{1, 0, 0}, Colour{0xF3, 0, 0},
                                   Colour{0xF1, 0, 0}}));
    Skin textOnly;
    textOnly.buttonText = Colour{2, 0, 0};
    EXPECT_EQ(skin::buttonColours(textOnly, system),
              (skin::ButtonColours{Colour{0xF0, 0, 0}, Colour{2, 0, 0}, Colour{0xF2, 0, 0},
                                   Colour{0xF0, 0, 0}, Colour{0xF0, 0, 0}, Colour{0xF3, 0, 0},
                                   Colour{2, 0, 0}}));
}

}  // namespace
