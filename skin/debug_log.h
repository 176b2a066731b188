// The library's only output: lines for a debugger (DebugView, or
// WINEDEBUG=+debugstr under Wine).
#pragma once

#include <cstddef>
#include <string_view>

namespace skin {

// One line, with the skin file's line number when `line` is not 0.
void debugLog(std::string_view text, std::size_t line = 0);

// What a callback's boundary reports when it stops an exception.
void logStopped(const char* what) noexcept;

}  // namespace skin
