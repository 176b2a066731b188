// A move to a monitor of another scale, as Windows reports it to a window
// that follows each monitor's DPI. Wine has one DPI for every monitor and
// never sends the change, and one sent from another process arrives with a
// pointer it cannot read, so the test sends it inside the window's own
// process, in the middle of a forced repair's pause too.
#include <windows.h>
// These need windows.h first.
#include <array>
#include <cmath>
#include <commctrl.h>
#include <cstring>
#include <gtest/gtest.h>
#include <ostream>
#include <string>
#include <vector>

#include "system/process_setup.h"
#include "tests/e2e/import_stall.h"
#include "tests/e2e/inprocess_window.h"
#include "tests/e2e/layout.h"
#include "tests/support/text.h"
#include "tests/support/window_lookup.h"

namespace {

int at(int pixels96, int dpi) { return static_cast<int>(std::lround(pixels96 * dpi / 96.0)); }

// What the user made of the window, which no change of scale may undo.
struct UserState {
    std::wstring command3, panel1, panel2;
    LRESULT logLines, logSelected, notesFirstLine, option1, option2;
    bool command4Enabled;
    HWND focus;
    bool operator==(const UserState&) const = default;
};

// Told in a failure as the user sees it.
void PrintTo(const UserState& s, std::ostream* out) {
    *out << support::narrow(s.command3 + L" | " + s.panel1 + L" | " + s.panel2) << " | log "
         << s.logLines << " selected " << s.logSelected << " | notes from line " << s.notesFirstLine
         << " | options " << s.option1 << s.option2 << " | Command4 "
         << (s.command4Enabled ? "enabled" : "disabled") << " | focus " << s.focus;
}

UserState stateOf(const e2e::InProcessWindow& form) {
    const HWND bar = form.control(design::kS1);
    const HWND log = form.control(design::kList1);
    return {support::windowTextOf(form.control(design::kCommand3)),
            e2e::statusPanelText(bar, 0),
            e2e::statusPanelText(bar, 1),
            ::SendMessageW(log, LB_GETCOUNT, 0, 0),
            ::SendMessageW(log, LB_GETCURSEL, 0, 0),
            ::SendMessageW(form.control(design::kText1), EM_GETFIRSTVISIBLELINE, 0, 0),
            ::SendMessageW(form.control(design::kOption1), BM_GETCHECK, 0, 0),
            ::SendMessageW(form.control(design::kOption2), BM_GETCHECK, 0, 0),
            ::IsWindowEnabled(form.control(design::kCommand4)) != FALSE,
            ::GetFocus()};
}

// What the DPI sizes: the fonts' height, the log's lines, the icons.
struct Sized {
    LONG fontHeight;
    LRESULT itemHeight;
    int bigIcon, smallIcon;
    bool operator==(const Sized&) const = default;
};

int iconWidth(HWND window, WPARAM which) {
    const auto icon = reinterpret_cast<HICON>(::SendMessageW(window, WM_GETICON, which, 0));
    ICONINFO info{};
    if (!icon || !::GetIconInfo(icon, &info)) return 0;
    BITMAP bitmap{};
    ::GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
    if (info.hbmColor) ::DeleteObject(info.hbmColor);
    ::DeleteObject(info.hbmMask);
    return bitmap.bmWidth;
}

Sized sizedOf(const e2e::InProcessWindow& form) {
    LOGFONTW font{};
    ::GetObjectW(reinterpret_cast<HGDIOBJ>(
                     ::SendMessageW(form.control(design::kCommand1), WM_GETFONT, 0, 0)),
                 sizeof font, &font);
    return {font.lfHeight, ::SendMessageW(form.control(design::kList1), LB_GETITEMHEIGHT, 0, 0),
            iconWidth(form.window(), ICON_BIG), iconWidth(form.window(), ICON_SMALL)};
}

// Every control where the design puts it at the DPI, each edge rounded on
// its own, and the status bar's panels with it, 2 pixels apart at 96 DPI.
void expectLaidOutAt(const e2e::InProcessWindow& form, int dpi) {
    SCOPED_TRACE("laid out at " + std::to_string(dpi));
    for (const e2e::Expected& e : e2e::kLayout) {
        SCOPED_TRACE(e.id);
        const RECT r = form.rect(e.id);
        EXPECT_EQ(r.left, at(e.rect.left, dpi));
        EXPECT_EQ(r.top, at(e.rect.top, dpi));
        EXPECT_EQ(r.right, at(e.rect.right, dpi));
        EXPECT_EQ(r.bottom, at(e.rect.bottom, dpi));
    }
    std::array<int, 3> edges{};
    ::SendMessageW(form.control(design::kS1), SB_GETPARTS, 3,
                   reinterpret_cast<LPARAM>(edges.data()));
    EXPECT_EQ(edges,
              (std::array<int, 3>{at(96, dpi), at(521, dpi) - at(96, dpi) - at(2, dpi), -1}));
}

// The window's rectangle for the design's client area at the DPI, its
// frame drawn at that DPI, as Windows sizes it.
RECT designFrameAt(HWND window, int dpi) {
    using AdjustForDpiFn = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
    const auto adjust = reinterpret_cast<AdjustForDpiFn>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "AdjustWindowRectExForDpi")));
    RECT frame{0, 0, at(521, dpi), at(458, dpi)};
    const auto style = static_cast<DWORD>(::GetWindowLongW(window, GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(::GetWindowLongW(window, GWL_EXSTYLE));
    EXPECT_TRUE(adjust && adjust(&frame, style, FALSE, exStyle, static_cast<UINT>(dpi)));
    return frame;
}

HGDIOBJ fontOf(const e2e::InProcessWindow& form) {
    return reinterpret_cast<HGDIOBJ>(
        ::SendMessageW(form.control(design::kCommand1), WM_GETFONT, 0, 0));
}

// Sends the change as Windows does, with a rectangle a little away from
// where the window is, sized for the design at the DPI; the window must take
// it, and change its font for a new one without keeping the old.
void moveToScale(const e2e::InProcessWindow& form, int dpi) {
    const HGDIOBJ fontBefore = fontOf(form);
    RECT suggested = designFrameAt(form.window(), dpi);
    RECT now{};
    ::GetWindowRect(form.window(), &now);
    ::OffsetRect(&suggested, now.left + 10 - suggested.left, now.top + 10 - suggested.top);
    ::SendMessageW(form.window(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                   reinterpret_cast<LPARAM>(&suggested));
    RECT taken{};
    ::GetWindowRect(form.window(), &taken);
    EXPECT_TRUE(::EqualRect(&taken, &suggested)) << "the suggested rectangle, at " << dpi;
    EXPECT_EQ(::GetObjectType(fontOf(form)), static_cast<DWORD>(OBJ_FONT));
    EXPECT_EQ(::GetObjectType(fontBefore), 0u) << "the font used before is freed, at " << dpi;
}

TEST(HighDpi, AMoveToAnotherScaleLaysTheDesignOutAgainAndKeepsWhatTheUserDid) {
    const e2e::ScriptedBoxes boxes({{MB_YESNO | MB_ICONINFORMATION, IDYES}});
    const e2e::RecordedLaunches launches;
    ASSERT_TRUE(boxes.installed() && launches.installed());
    e2e::QuickBindings quick;
    const e2e::InProcessWindow form(quick);
    ASSERT_TRUE(form.window());
    const HDC screen = ::GetDC(nullptr);
    ASSERT_EQ(::GetDeviceCaps(screen, LOGPIXELSY), 96) << "this test starts at 96 DPI";
    ::ReleaseDC(nullptr, screen);
    expectLaidOutAt(form, 96);
    const Sized atStart = sizedOf(form);
    ASSERT_TRUE(atStart.bigIcon > 0 && atStart.smallIcon > 0)
        << "the program's icon, built into this test program too";
    RECT clientAtStart{};
    ::GetClientRect(form.window(), &clientAtStart);

    // What a user does first: the shell ended, a web link chosen, the notes
    // scrolled, the focus on a button.
    form.click(design::kCommand3);
    ::SendMessageW(form.control(design::kOption2), BM_CLICK, 0, 0);
    ::SendMessageW(form.control(design::kText1), EM_LINESCROLL, 0, 6);
    ::SendMessageW(form.window(), WM_NEXTDLGCTL,
                   reinterpret_cast<WPARAM>(form.control(design::kCommand2)), TRUE);
    const UserState before = stateOf(form);
    ASSERT_EQ(before.notesFirstLine, 6);
    ASSERT_EQ(before.option2, BST_CHECKED);
    ASSERT_EQ(before.focus, form.control(design::kCommand2));

    // To 144 in the pause after the clipboard's line; the repair runs on.
    UserState during{};
    e2e::runForcedRepair(form, [&](int lines) {
        if (lines != 2) return;
        UserState expected = stateOf(form);
        ASSERT_FALSE(expected.command4Enabled) << "inside the repair";
        moveToScale(form, 144);
        expectLaidOutAt(form, 144);
        during = stateOf(form);
        EXPECT_EQ(during, expected);
    });
    const UserState after = stateOf(form);
    EXPECT_EQ(after.logLines, 7) << "the repair ran to its end";
    EXPECT_EQ(after.logSelected, 6);
    EXPECT_TRUE(after.command4Enabled);
    ASSERT_FALSE(launches.commandLines().empty());
    EXPECT_NE(launches.commandLines().back().find(L"hotplug.dll"), std::wstring::npos);
    const Sized at144 = sizedOf(form);
    EXPECT_NEAR(at144.fontHeight, ::MulDiv(atStart.fontHeight, 144, 96), 1);
    EXPECT_GT(at144.itemHeight, atStart.itemHeight) << "the log's lines grow with the font";
    EXPECT_EQ(at144.bigIcon, ::MulDiv(atStart.bigIcon, 144, 96));
    EXPECT_EQ(at144.smallIcon, ::MulDiv(atStart.smallIcon, 144, 96));

    moveToScale(form, 120);
    expectLaidOutAt(form, 120);
    EXPECT_EQ(stateOf(form), after);
    EXPECT_NEAR(sizedOf(form).fontHeight, ::MulDiv(atStart.fontHeight, 120, 96), 1);

    // Back where it started, nothing differs from the start but what the user did.
    moveToScale(form, 96);
    expectLaidOutAt(form, 96);
    EXPECT_EQ(stateOf(form), after);
    EXPECT_EQ(sizedOf(form), atStart);
    RECT client{};
    ::GetClientRect(form.window(), &client);
    EXPECT_TRUE(::EqualRect(&client, &clientAtStart));
    EXPECT_EQ(after.notesFirstLine, 6);
    EXPECT_EQ(after.option2, BST_CHECKED);
    EXPECT_EQ(after.focus, form.control(design::kCommand2));
}

// Windows asks the window the size it wants at the new DPI before it
// suggests one: the design's, its frame at that DPI, so nothing is scaled
// twice or by the old size.
TEST(HighDpi, TheSizeAskedForANewScaleIsTheDesignsAtThatScale) {
    const e2e::InProcessWindow form;
    ASSERT_TRUE(form.window());
    for (const int dpi : {120, 144, 192}) {
        SCOPED_TRACE(dpi);
        const RECT frame = designFrameAt(form.window(), dpi);
        SIZE size{1, 1};
        EXPECT_EQ(::SendMessageW(form.window(), WM_GETDPISCALEDSIZE, dpi,
                                 reinterpret_cast<LPARAM>(&size)),
                  TRUE);
        EXPECT_EQ(size.cx, frame.right - frame.left);
        EXPECT_EQ(size.cy, frame.bottom - frame.top);
    }
}

// Wine declares no awareness, so what the process asks is watched where it
// binds: every function bound by name comes through GetProcAddress, replaced
// here, and the two awareness calls are answered by recorders, v2 refused.
struct Awareness {
    static inline FARPROC(WINAPI* real)(HMODULE, LPCSTR) = nullptr;
    static inline std::vector<std::string> bound, called;
    static BOOL WINAPI setContext(void* context) {
        called.push_back("SetProcessDpiAwarenessContext " +
                         std::to_string(reinterpret_cast<std::intptr_t>(context)));
        return FALSE;
    }
    static BOOL WINAPI setSystemAware() {
        called.push_back("SetProcessDPIAware");
        return TRUE;
    }
    static FARPROC WINAPI getProcAddress(HMODULE module, LPCSTR name) {
        if (IS_INTRESOURCE(name)) return real(module, name);
        bound.emplace_back(name);
        if (std::strcmp(name, "SetProcessDpiAwarenessContext") == 0)
            return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(&setContext));
        if (std::strcmp(name, "SetProcessDPIAware") == 0)
            return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(&setSystemAware));
        return real(module, name);
    }
};

TEST(HighDpi, TheProcessBindsOnlyTheTwoAwarenessCallsAndAsksV2ThenTheSystemsDpi) {
    const e2e::ReplacedImport binder(GetModuleHandleW(nullptr), "kernel32.dll", "GetProcAddress",
                                     reinterpret_cast<void*>(&Awareness::getProcAddress));
    Awareness::real = reinterpret_cast<decltype(Awareness::real)>(binder.previous());
    ASSERT_TRUE(Awareness::real);
    platform::declareDpiAware();
    EXPECT_EQ(Awareness::bound,
              (std::vector<std::string>{"SetProcessDpiAwarenessContext", "SetProcessDPIAware"}))
        << "never per monitor v1, from shcore or from user32";
    EXPECT_EQ(Awareness::called,
              (std::vector<std::string>{"SetProcessDpiAwarenessContext -4", "SetProcessDPIAware"}));
}

}  // namespace
