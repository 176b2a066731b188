// MulDiv's rounding without a Windows header, so that the window's layout,
// the skin's measures and the native tests scale pixels the same way.
#pragma once

#include <cstdint>

namespace win32 {

// a * b / c rounded to the nearest, halves away from zero, as MulDiv does (c > 0).
constexpr int mulDiv(int a, int b, int c) {
    const std::int64_t product = static_cast<std::int64_t>(a) * b;
    const std::int64_t half = c / 2;
    return static_cast<int>((product >= 0 ? product + half : product - half) / c);
}

}  // namespace win32
