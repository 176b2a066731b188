// The window's layout at any DPI, from the design's twips: at 96 DPI the
// design's own pixels; at other DPIs each edge rounded on its own, so that
// what lines up in the design still lines up.
#include "window/layout.h"

#include <cmath>
#include <gtest/gtest.h>
#include <map>

namespace {

using platform::PixelRect;

// The design's pixels at 96 DPI, in the client area, written out apart from
// the design table.
const std::map<int, PixelRect> kAt96 = {
    {design::kFrame1, {8, 16, 353, 97}},     {design::kCommand1, {16, 40, 121, 81}},
    {design::kCommand2, {128, 40, 233, 81}}, {design::kCommand3, {240, 40, 345, 81}},
    {design::kFrame2, {8, 112, 233, 393}},   {design::kCommand4, {16, 128, 225, 169}},
    {design::kFrame3, {16, 184, 225, 329}},  {design::kList1, {24, 200, 217, 324}},
    {design::kS1, {0, 417, 521, 458}},       {design::kCommand5, {16, 344, 225, 385}},
    {design::kFrame4, {240, 112, 513, 393}}, {design::kText1, {248, 128, 505, 385}},
    {design::kFrame5, {360, 16, 513, 97}},   {design::kOption1, {368, 40, 505, 60}},
    {design::kOption2, {368, 64, 505, 81}},
};

int at(int pixels96, int dpi) { return static_cast<int>(std::lround(pixels96 * dpi / 96.0)); }

PixelRect rectOf(const platform::WindowLayout& layout, int id) {
    for (const auto& placed : layout.controls) {
        if (placed.id == id) return placed.rect;
    }
    ADD_FAILURE() << "no control " << id;
    return {};
}

TEST(Layout, EveryEdgeIsTheDesignsPixelsScaledAndRoundedOnItsOwn) {
    for (const int dpi : {96, 101, 120, 144, 168, 192, 240}) {
        SCOPED_TRACE(dpi);
        const auto layout = platform::layoutAt(dpi, 2);
        EXPECT_EQ(layout.dpi, dpi);
        EXPECT_EQ(layout.clientWidth, at(521, dpi));
        EXPECT_EQ(layout.clientHeight, at(458, dpi));
        ASSERT_EQ(layout.controls.size(), kAt96.size());
        for (const auto& [id, r] : kAt96) {
            SCOPED_TRACE(id);
            const PixelRect expected{at(r.left, dpi), at(r.top, dpi), at(r.right, dpi),
                                     at(r.bottom, dpi)};
            EXPECT_EQ(rectOf(layout, id), expected);
        }
        // Panel 2 takes the rest of the bar, beside the two fixed panels and the gap.
        const std::array<int, 3> panels{at(96, dpi), at(521, dpi) - at(96, dpi) - 2, -1};
        EXPECT_EQ(layout.panelRightEdges, panels);
    }
}

// Edges that are one in the design stay one at an odd DPI: nothing drifts by
// adding rounded widths to rounded positions.
TEST(Layout, WhatLinesUpInTheDesignLinesUpAtAnOddDpi) {
    for (const int dpi : {97, 101, 113, 131}) {
        SCOPED_TRACE(dpi);
        const auto layout = platform::layoutAt(dpi, 2);
        const auto command4 = rectOf(layout, design::kCommand4);
        for (const int id : {design::kFrame3, design::kCommand5}) {
            EXPECT_EQ(rectOf(layout, id).left, command4.left);
            EXPECT_EQ(rectOf(layout, id).right, command4.right);
        }
        EXPECT_EQ(rectOf(layout, design::kFrame2).bottom, rectOf(layout, design::kFrame4).bottom);
        EXPECT_EQ(rectOf(layout, design::kFrame4).right, rectOf(layout, design::kFrame5).right);
        EXPECT_EQ(rectOf(layout, design::kS1).right, layout.clientWidth);
        EXPECT_EQ(rectOf(layout, design::kS1).bottom, layout.clientHeight);
    }
}

// Rounded as the system's MulDiv rounds: halves away from zero, negative
// heights (a character height) included.
TEST(Layout, FontHeightsAndHalvesRoundAwayFromZero) {
    EXPECT_EQ(platform::fontHeightAt(-12, 96, 144), -18);
    EXPECT_EQ(platform::fontHeightAt(-11, 96, 144), -17);
    EXPECT_EQ(platform::fontHeightAt(-11, 96, 96), -11);
    EXPECT_EQ(platform::fontHeightAt(-17, 144, 96), -11);
    EXPECT_EQ(platform::fontHeightAt(15, 96, 120), 19);
    EXPECT_EQ(platform::mulDiv(7815, 144, 1440), 782);
    EXPECT_EQ(platform::mulDiv(-7815, 144, 1440), -782);
}

}  // namespace
