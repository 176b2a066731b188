// The window's texts in the fonts its controls were given, with the real
// window made inside the test's process. Each test runs in a prefix of its
// own (tests/e2e/CMakeLists.txt): one whose message font is Wine's Tahoma,
// which has no Chinese characters, with no font replacements, as on a
// Western Windows; and the 144-DPI prefix.
#include <windows.h>
// These need windows.h first.
#include <commctrl.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "app/texts.h"
#include "resources/form1_design.h"
#include "tests/e2e/inprocess_window.h"
#include "tests/support/text.h"
#include "tests/support/window_lookup.h"
#include "win32/handles.h"
#include "window/status_bar.h"

namespace {

using support::narrow;

// A memory DC with a control's font selected: what the control draws with.
class FontDc {
  public:
    explicit FontDc(HGDIOBJ font) : dc_(::CreateCompatibleDC(nullptr)) {
        old_ = ::SelectObject(dc_.get(), font);
    }
    explicit FontDc(HWND control)
        : FontDc(reinterpret_cast<HGDIOBJ>(::SendMessageW(control, WM_GETFONT, 0, 0))) {}
    FontDc(const FontDc&) = delete;
    FontDc& operator=(const FontDc&) = delete;
    ~FontDc() { ::SelectObject(dc_.get(), old_); }
    HDC get() const { return dc_.get(); }

  private:
    win32::UniqueDc dc_;
    HGDIOBJ old_ = nullptr;
};

// The characters the selected face has no glyph of its own for. A face
// that lacks one gets it from a font-linked face when drawn, in another
// design; GetGlyphIndicesW does not count those.
std::wstring missingGlyphs(HDC dc, const std::wstring& text) {
    std::vector<WORD> glyphs(text.size());
    if (::GetGlyphIndicesW(dc, text.c_str(), static_cast<int>(text.size()), glyphs.data(),
                           GGI_MARK_NONEXISTING_GLYPHS) == GDI_ERROR) {
        return L"(GetGlyphIndicesW failed)";
    }
    std::wstring missing;
    for (size_t i = 0; i < text.size(); ++i) {
        // Line breaks have a glyph in no face.
        if (glyphs[i] == 0xFFFF && text[i] >= L' ') missing += text[i];
    }
    return missing;
}

std::wstring faceOf(HDC dc) {
    wchar_t face[LF_FACESIZE]{};
    ::GetTextFaceW(dc, LF_FACESIZE, face);
    return face;
}

// Names the control, its face and the start of its text in a failure.
std::string describe(HWND control, HDC dc, const std::wstring& text) {
    return narrow(support::classNameOf(control) + L" " + std::to_wstring(::GetDlgCtrlID(control)) +
                  L" in " + faceOf(dc) + L": " + text.substr(0, 24));
}

// A text a control shows, now or after a click.
struct Shown {
    HWND control;
    std::wstring text;
};

// Every control's text, the status bar's first two panels, and what the
// handlers write later: Command3's other caption and panel 2's messages.
std::vector<Shown> everyText(const e2e::InProcessWindow& form) {
    std::vector<Shown> shown;
    for (HWND child = ::GetWindow(form.window(), GW_CHILD); child;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        shown.push_back({child, support::windowTextOf(child)});
    }
    const HWND bar = form.control(design::kS1);
    for (const wchar_t* later :
         {app::texts::kStatusClipboard, app::texts::kStatusProcesses,
          app::texts::kStatusExplorerCleared, app::texts::kStatusExplorerRestarted}) {
        shown.push_back({bar, later});
    }
    shown.push_back({bar, e2e::statusPanelText(bar, 0)});
    shown.push_back({bar, e2e::statusPanelText(bar, 1)});
    shown.push_back({form.control(design::kCommand3), app::texts::kCaptionRestartExplorer});
    return shown;
}

void expectOwnGlyphs(const e2e::InProcessWindow& form) {
    for (const Shown& s : everyText(form)) {
        const FontDc dc(s.control);
        SCOPED_TRACE(describe(s.control, dc.get(), s.text));
        EXPECT_EQ(narrow(missingGlyphs(dc.get(), s.text)), "");
    }
}

int dpiOf(HDC dc) { return ::GetDeviceCaps(dc, LOGPIXELSX); }

// The width a caption has in a button as it draws without visual styles,
// which is how the program's buttons draw: it asks for no common-controls 6
// manifest. Zero for a control without a caption.
int captionRoom(HWND control, HDC dc) {
    RECT client{};
    ::GetClientRect(control, &client);
    switch (::GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK) {
        case BS_PUSHBUTTON:
        case BS_DEFPUSHBUTTON:
            // A 2-pixel raised edge, then the focus rectangle a pixel inside
            // it: the caption keeps 4 pixels from each side at any DPI.
            return client.right - 2 * 4;
        case BS_AUTORADIOBUTTON: {
            // The round mark, 13 pixels at 96 DPI and growing with the DPI,
            // half a digit's width of gap, and a pixel for the focus
            // rectangle's right edge.
            int digit = 0;
            ::GetCharWidth32W(dc, L'0', L'0', &digit);
            return client.right - ::MulDiv(13, dpiOf(dc), 96) - digit / 2 - 1;
        }
        case BS_GROUPBOX:
            // The caption sits 8 pixels (at 96 DPI) in from the frame's left
            // line; as much again on the right keeps the line's end showing.
            return client.right - 2 * ::MulDiv(8, dpiOf(dc), 96);
        default:
            return 0;
    }
}

void expectCaptionsFit(const e2e::InProcessWindow& form) {
    for (const Shown& s : everyText(form)) {
        if (support::classNameOf(s.control) != WC_BUTTONW) continue;
        const FontDc dc(s.control);
        SCOPED_TRACE(describe(s.control, dc.get(), s.text));
        SIZE extent{};
        ASSERT_TRUE(::GetTextExtentPoint32W(dc.get(), s.text.c_str(),
                                            static_cast<int>(s.text.size()), &extent));
        EXPECT_LE(extent.cx, captionRoom(s.control, dc.get()));
        RECT client{};
        ::GetClientRect(s.control, &client);
        EXPECT_LE(extent.cy, client.bottom);
    }
}

int screenDpi() {
    const HDC screen = ::GetDC(nullptr);
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    return dpi;
}

// On a Western Windows the message font has no Chinese: the window must
// still draw every text in a face of its own, not one GDI links in, and
// every caption must fit in that face.
TEST(WindowFonts, UnderAWesternMessageFontEveryTextHasItsControlsOwnGlyphsAndFits) {
    const e2e::InProcessWindow form;
    ASSERT_TRUE(form.window());
    ASSERT_EQ(screenDpi(), 96);
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    ASSERT_TRUE(::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0));
    const win32::UniqueGdiObject message(::CreateFontIndirectW(&metrics.lfMessageFont));
    ASSERT_NE(missingGlyphs(FontDc(message.get()).get(), app::texts::kStatusLoaded), L"")
        << "this test runs in a prefix whose message font has no Chinese";
    expectOwnGlyphs(form);
    expectCaptionsFit(form);
}

TEST(WindowFonts, At144DpiEveryCaptionFits) {
    const e2e::InProcessWindow form;
    ASSERT_TRUE(form.window());
    ASSERT_EQ(screenDpi(), 144) << "this test runs in the 144-DPI prefix";
    expectCaptionsFit(form);
}

}  // namespace
