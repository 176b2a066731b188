// Reading a skin file from disk for the library.
#pragma once

#include <optional>

#include "skin/skin_file.h"

namespace skin {

// The skin in the file at `ansiPath` (ANSI code page), or nothing when the
// file cannot be read or is refused as a whole. Every problem found goes to
// the debug log.
std::optional<Skin> readSkinFile(const char* ansiPath);

}  // namespace skin
