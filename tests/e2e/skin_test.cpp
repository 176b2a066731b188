// The skin as the user sees it: the default skin file gives the window its
// colours; a broken or missing one leaves the system's look, and the program
// starts all the same.
#include <gtest/gtest.h>

#include "resources/form1_design.h"
#include "tests/e2e/harness.h"

namespace {

using e2e::Program;

// Colours of the default skinh.she.
constexpr COLORREF kSkinWindow = RGB(0xDD, 0xE8, 0xF3);
constexpr COLORREF kSkinList = RGB(0xF7, 0xFA, 0xFD);
constexpr COLORREF kSkinStatus = RGB(0xBC, 0xD0, 0xE6);

// What the screen shows at a point of the window's client area.
COLORREF pixelAt(const Program& program, POINT at) {
    ClientToScreen(program.window(), &at);
    const HDC screen = GetDC(nullptr);
    const COLORREF colour = GetPixel(screen, at.x, at.y);
    ReleaseDC(nullptr, screen);
    return colour;
}

// Bare window between the group boxes and the status bar; inside the empty
// list; the status bar's lower edge below panel 2's text.
constexpr POINT kWindowSpot{300, 405};
constexpr POINT kListSpot{120, 300};
constexpr POINT kStatusSpot{250, 455};

bool shows(const Program& program, POINT at, COLORREF colour) {
    return e2e::waitUntil([&] { return pixelAt(program, at) == colour; }, 5000);
}

std::string hex(COLORREF c) {
    char text[16];
    snprintf(text, sizeof text, "#%02X%02X%02X", GetRValue(c), GetGValue(c), GetBValue(c));
    return text;
}

TEST(Skin, TheDefaultSkinColoursTheWindowTheListAndTheStatusBar) {
    Program program;
    ASSERT_NE(program.window(), nullptr);
    EXPECT_TRUE(shows(program, kWindowSpot, kSkinWindow)) << hex(pixelAt(program, kWindowSpot));
    EXPECT_TRUE(shows(program, kListSpot, kSkinList)) << hex(pixelAt(program, kListSpot));
    EXPECT_TRUE(shows(program, kStatusSpot, kSkinStatus)) << hex(pixelAt(program, kStatusSpot));
}

TEST(Skin, MessageBoxesCreatedLaterTakeTheSkinToo) {
    Program program;
    program.close();
    const HWND box = program.waitForMessageBox(L"Zelk系列软件");
    ASSERT_NE(box, nullptr);
    RECT r{};
    GetClientRect(box, &r);
    POINT corner{r.right - 3, 3};
    ClientToScreen(box, &corner);
    EXPECT_TRUE(e2e::waitUntil(
        [&] {
            const HDC screen = GetDC(nullptr);
            const COLORREF colour = GetPixel(screen, corner.x, corner.y);
            ReleaseDC(nullptr, screen);
            return colour == kSkinWindow;
        },
        5000));
    Program::answer(box, IDCANCEL);
}

struct BrokenSkin {
    const char* name;
    std::string content;
    bool present;  // false: no skin file at all
};

TEST(Skin, ABrokenOrMissingSkinFileLeavesTheSystemLook) {
    const BrokenSkin cases[] = {
        {"missing", "", false},
        {"binary", std::string("\x00\x01\x02\xff\xfe garbage \x7f", 15), true},
        {"malformed", "[window\nbackground = #GGGGGG\nnot a line at all\n", true},
        {"empty", "", true},
    };
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    for (const BrokenSkin& c : cases) {
        SCOPED_TRACE(c.name);
        e2e::ProgramOptions options;
        options.withSkinFile = false;
        e2e::TempDir source(L"skin");
        if (c.present) {
            const HANDLE file = CreateFileW(source.file(L"skinh.she").c_str(), GENERIC_WRITE, 0,
                                            nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
            ASSERT_NE(file, INVALID_HANDLE_VALUE);
            DWORD written = 0;
            WriteFile(file, c.content.data(), static_cast<DWORD>(c.content.size()), &written,
                      nullptr);
            CloseHandle(file);
            options.planted = {{source.file(L"skinh.she"), L"skinh.she"}};
        }
        Program program(options);
        ASSERT_NE(program.window(), nullptr) << "the program starts";
        EXPECT_TRUE(shows(program, kWindowSpot, face)) << hex(pixelAt(program, kWindowSpot));
        EXPECT_EQ(program.statusText(2), L"程序已加载完毕...");
    }
}

}  // namespace
