#include "window/layout.h"

namespace platform {
namespace {

// The control's rectangle in the window's client area, in twips: a control
// inside a group box is placed from the group box's corner.
PixelRect twipsInClient(const design::Control& c) {
    int left = c.left;
    int top = c.top;
    for (int container = c.container; container != design::kForm1;) {
        const auto& parent = design::designOf(container);
        left += parent.left;
        top += parent.top;
        container = parent.container;
    }
    return {left, top, left + c.width, top + c.height};
}

}  // namespace

int pixelsAt(int twips, int dpi) { return mulDiv(twips, dpi, design::kTwipsPerInch); }

WindowLayout layoutAt(int dpi, int panelGap) {
    WindowLayout layout{};
    layout.dpi = dpi;
    layout.clientWidth = pixelsAt(design::kClientWidth, dpi);
    layout.clientHeight = pixelsAt(design::kClientHeight, dpi);
    for (size_t i = 0; i < std::size(design::kControls); ++i) {
        const design::Control& c = design::kControls[i];
        const PixelRect twips = twipsInClient(c);
        layout.controls[i] = {c.id,
                              {pixelsAt(twips.left, dpi), pixelsAt(twips.top, dpi),
                               pixelsAt(twips.right, dpi), pixelsAt(twips.bottom, dpi)}};
    }
    // Panel 2 takes what panels 1 and 3 and the gaps between them leave.
    const int first = pixelsAt(design::kPanels[0].width, dpi);
    const int last = pixelsAt(design::kPanels[2].width, dpi);
    layout.panelRightEdges = {first, layout.clientWidth - last - panelGap, -1};
    return layout;
}

int fontHeightAt(int height, int fromDpi, int toDpi) { return mulDiv(height, toDpi, fromDpi); }

}  // namespace platform
