// Where every control of the window lies at a given DPI: the design's twips
// turned into pixels, the same at start and after a move to a monitor of
// another scale. Portable: no Windows header, so it is unit-tested natively.
#pragma once

#include <array>
#include <iterator>

#include "resources/form1_design.h"
#include "win32/mul_div.h"

namespace platform {

struct PixelRect {
    int left, top, right, bottom;
    bool operator==(const PixelRect&) const = default;
};

struct PlacedControl {
    int id;
    PixelRect rect;  // in the window's client area
};

struct WindowLayout {
    int dpi;
    int clientWidth, clientHeight;
    std::array<PlacedControl, std::size(design::kControls)> controls;  // in design order
    // The status bar's panels as SB_SETPARTS takes them: right edges, the last -1.
    std::array<int, std::size(design::kPanels)> panelRightEdges;
};

using win32::mulDiv;

// Twips to pixels at `dpi`.
int pixelsAt(int twips, int dpi);

// Every control's edges are the pixels of its edges' twips in the client
// area, so neighbours never overlap or part by rounding, and 96 DPI gives
// the design's own pixels. `panelGap` is the bar's space between two panels.
WindowLayout layoutAt(int dpi, int panelGap);

// A font height (LOGFONT's lfHeight) made at one DPI, for another.
int fontHeightAt(int height, int fromDpi, int toDpi);

}  // namespace platform
