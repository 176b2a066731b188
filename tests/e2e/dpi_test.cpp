// At 144 DPI the window is laid out at the system's DPI, not stretched: every
// control keeps its proportions, one and a half times its 96-DPI size, and
// the skin draws its buttons' frames as wide.
#include <gtest/gtest.h>

#include "resources/form1_design.h"
#include "tests/e2e/harness.h"
#include "tests/e2e/layout.h"

namespace {

int scaled(int pixels) { return pixels * 3 / 2; }

TEST(HighDpi, EveryControlIsItsDesignRectangleScaledByOneAndAHalf) {
    // Physical pixels on the test's side too.
    SetProcessDPIAware();
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    ASSERT_EQ(dpi, 144) << "this test runs in the 144-DPI prefix";

    e2e::Program program;
    ASSERT_NE(program.window(), nullptr);
    const RECT client = program.clientRect();
    EXPECT_NEAR(client.right, scaled(521), 1);
    EXPECT_NEAR(client.bottom, scaled(458), 1);
    for (const e2e::Expected& e : e2e::kLayout) {
        SCOPED_TRACE(e.id);
        const RECT r = program.rect(e.id);
        EXPECT_NEAR(r.left, scaled(e.rect.left), 1);
        EXPECT_NEAR(r.top, scaled(e.rect.top), 1);
        EXPECT_NEAR(r.right, scaled(e.rect.right), 1);
        EXPECT_NEAR(r.bottom, scaled(e.rect.bottom), 1);
    }

    SCOPED_TRACE("a skinned button's frame, read from the screen");
    constexpr COLORREF kSkinBorder = RGB(0x6F, 0x8D, 0xAF);  // the default skin's
    RECT button{};
    GetWindowRect(program.control(design::kCommand2), &button);
    const int middle = (button.top + button.bottom) / 2;
    const auto column = [&](int x) {
        const HDC dc = GetDC(nullptr);
        const COLORREF colour = GetPixel(dc, button.left + x, middle);
        ReleaseDC(nullptr, dc);
        return colour;
    };
    ASSERT_TRUE(e2e::waitUntil([&] { return column(0) == kSkinBorder; }, 5000));
    EXPECT_EQ(column(1), kSkinBorder) << "1.5 pixels round to 2";
    EXPECT_NE(column(2), kSkinBorder);
}

}  // namespace
