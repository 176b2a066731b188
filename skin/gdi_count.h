// The library's own count of the GDI objects it holds. Tests read it to see
// a leak: Wine's GetGuiResources answers 0, even inside the process.
#pragma once

#include <windows.h>

#include "win32/handles.h"

namespace skin {

long liveGdiObjects();

namespace detail {
void gdiObjectMade();
void deleteCountedObject(HGDIOBJ object);
void deleteCountedDc(HDC dc);
}  // namespace detail

using CountedBrush = win32::UniqueResource<HBRUSH, nullptr, detail::deleteCountedObject>;
using CountedBitmap = win32::UniqueResource<HBITMAP, nullptr, detail::deleteCountedObject>;
using CountedDc = win32::UniqueResource<HDC, nullptr, detail::deleteCountedDc>;

// Takes a freshly made object (null when making it failed) into the count.
template <typename Owner, typename T>
Owner counted(T made) {
    if (made) detail::gdiObjectMade();
    return Owner(made);
}

// The registered message "ZelkSkin.LiveGdiObjects", which a skinned window
// answers with the count; 0 until registerCountMessage() has run.
UINT countMessage();
void registerCountMessage();

}  // namespace skin
