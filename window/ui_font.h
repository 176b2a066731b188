// The font of the window's controls. On a Western Windows the system's message
// font (Segoe UI) has no Chinese characters: GDI's font linking would fill
// them in from whichever fonts the system lists first, often Japanese ones,
// mixing glyph shapes and widening the captions. So the window takes the
// message font's face only when it holds every character the window shows,
// and otherwise a Chinese UI font of the same size.
#pragma once

#include "win32/handles.h"

namespace platform {

// The message font's size at the DPI and its style, in its own face when that face holds
// every character of the captions, the notes and the status texts; else in
// the first installed of Microsoft YaHei UI, Microsoft YaHei and SimSun that
// holds them, else in any GB2312 face that does; else the message font as it
// is. Null only when no font could be made.
win32::UniqueGdiObject createUiFont(int dpi);

}  // namespace platform
