// At 144 DPI the window is laid out at the system's DPI, not stretched: every
// control keeps its proportions, one and a half times its 96-DPI size.
#include <gtest/gtest.h>

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
}

}  // namespace
