#include "skin/gdi_count.h"

namespace skin {
namespace {

LONG volatile g_live = 0;
UINT volatile g_countMessage = 0;

}  // namespace

long liveGdiObjects() { return ::InterlockedCompareExchange(&g_live, 0, 0); }

UINT countMessage() { return g_countMessage; }

void registerCountMessage() {
    if (!g_countMessage) g_countMessage = ::RegisterWindowMessageW(L"ZelkSkin.LiveGdiObjects");
}

namespace detail {

void gdiObjectMade() { ::InterlockedIncrement(&g_live); }

void deleteCountedObject(HGDIOBJ object) {
    if (::DeleteObject(object)) ::InterlockedDecrement(&g_live);
}

void deleteCountedDc(HDC dc) {
    if (::DeleteDC(dc)) ::InterlockedDecrement(&g_live);
}

}  // namespace detail
}  // namespace skin
