#include "window/status_bar.h"

#include <algorithm>
#include <array>
#include <commctrl.h>
#include <new>
#include <string>
#include <vector>

#include "app/guard.h"
#include "win32/handles.h"

namespace platform {
namespace {

// Space between two panels, the bar's top edge above them, and the text's
// indent within a panel, in pixels at 96 DPI.
constexpr int kGap = 2;
constexpr int kTop = 2;
constexpr int kTextIndent = 4;

struct Bar {
    std::vector<int> rightEdges{-1};
    std::vector<std::wstring> texts{std::wstring()};
    HFONT font = nullptr;
    COLORREF background = CLR_DEFAULT;
    int dpi = 96;
    // Where an unexpected failure is reported; given at creation.
    app::Host* host = nullptr;
};

int scaled(const Bar& bar, int pixelsAt96) { return ::MulDiv(pixelsAt96, bar.dpi, 96); }

Bar* barOf(HWND window) {
    return reinterpret_cast<Bar*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
}

RECT partRect(HWND window, const Bar& bar, size_t part) {
    RECT client{};
    ::GetClientRect(window, &client);
    RECT r{0, scaled(bar, kTop), 0, client.bottom};
    r.left = part == 0 ? 0 : bar.rightEdges[part - 1] + scaled(bar, kGap);
    const int right = bar.rightEdges[part];
    r.right = right < 0 || right > client.right ? client.right : right;
    return r;
}

// The text colour the parent gives, as it would to a label: a skin answers
// it, and without one the parent's default keeps the text readable.
COLORREF textColour(HWND window, HDC dc) {
    ::SetTextColor(dc, ::GetSysColor(COLOR_BTNTEXT));
    if (const HWND parent = ::GetParent(window)) {
        ::SendMessageW(parent, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                       reinterpret_cast<LPARAM>(window));
    }
    return ::GetTextColor(dc);
}

void drawBar(HWND window, const Bar& bar, HDC dc, const RECT& client) {
    const COLORREF fill =
        bar.background == CLR_DEFAULT ? ::GetSysColor(COLOR_BTNFACE) : bar.background;
    const COLORREF text = textColour(window, dc);
    ::SetBkColor(dc, fill);
    ::ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &client, nullptr, 0, nullptr);
    const HGDIOBJ oldFont = bar.font ? ::SelectObject(dc, bar.font) : nullptr;
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, text);
    for (size_t part = 0; part < bar.rightEdges.size(); ++part) {
        RECT r = partRect(window, bar, part);
        ::DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT);
        r.left += scaled(bar, kTextIndent);
        r.right -= scaled(bar, kTextIndent);
        const std::wstring& partText = bar.texts[part];
        ::DrawTextW(dc, partText.c_str(), static_cast<int>(partText.size()), &r,
                    DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
    }
    if (oldFont) ::SelectObject(dc, oldFont);
}

// Drawn off screen and copied in one go, so that a new message never flickers.
void paint(HWND window, const Bar& bar) {
    PAINTSTRUCT ps{};
    const HDC dc = ::BeginPaint(window, &ps);
    RECT client{};
    ::GetClientRect(window, &client);
    const win32::UniqueDc memory(::CreateCompatibleDC(dc));
    const win32::UniqueGdiObject bitmap(::CreateCompatibleBitmap(dc, client.right, client.bottom));
    if (memory && bitmap) {
        const HGDIOBJ old = ::SelectObject(memory.get(), bitmap.get());
        drawBar(window, bar, memory.get(), client);
        ::BitBlt(dc, 0, 0, client.right, client.bottom, memory.get(), 0, 0, SRCCOPY);
        ::SelectObject(memory.get(), old);
    } else {
        drawBar(window, bar, dc, client);
    }
    ::EndPaint(window, &ps);
}

// One function per message. Each gets the bar's state, which lives from
// WM_NCCREATE to WM_NCDESTROY.
using Handler = LRESULT (*)(HWND window, Bar& bar, WPARAM wParam, LPARAM lParam);

LRESULT onSetParts(HWND window, Bar& bar, WPARAM wParam, LPARAM lParam) {
    const auto count = static_cast<size_t>(wParam);
    if (count == 0 || count > 256 || !lParam) return FALSE;
    const auto* edges = reinterpret_cast<const int*>(lParam);
    bar.rightEdges.assign(edges, edges + count);
    bar.texts.resize(count);
    ::InvalidateRect(window, nullptr, TRUE);
    return TRUE;
}

LRESULT onGetParts(HWND, Bar& bar, WPARAM wParam, LPARAM lParam) {
    if (lParam) {
        auto* edges = reinterpret_cast<int*>(lParam);
        const size_t count = std::min(bar.rightEdges.size(), static_cast<size_t>(wParam));
        std::copy_n(bar.rightEdges.begin(), count, edges);
    }
    return static_cast<LRESULT>(bar.rightEdges.size());
}

LRESULT onSetText(HWND window, Bar& bar, WPARAM wParam, LPARAM lParam) {
    const size_t part = LOBYTE(LOWORD(wParam));
    if (part >= bar.texts.size()) return FALSE;
    bar.texts[part] = lParam ? reinterpret_cast<const wchar_t*>(lParam) : L"";
    RECT r = partRect(window, bar, part);
    ::InvalidateRect(window, &r, TRUE);
    return TRUE;
}

// Length in the low word, drawing type (always 0: sunken) in the high word.
LRESULT onGetTextLength(HWND, Bar& bar, WPARAM wParam, LPARAM) {
    const auto part = static_cast<size_t>(wParam);
    if (part >= bar.texts.size()) return 0;
    return MAKELONG(bar.texts[part].size(), 0);
}

LRESULT onGetText(HWND window, Bar& bar, WPARAM wParam, LPARAM lParam) {
    const auto part = static_cast<size_t>(wParam);
    if (part < bar.texts.size() && lParam) {
        const std::wstring& text = bar.texts[part];
        auto* out = reinterpret_cast<wchar_t*>(lParam);
        text.copy(out, text.size());
        out[text.size()] = L'\0';
    }
    return onGetTextLength(window, bar, wParam, lParam);
}

// The narrow forms, for tools that read the bar in the ANSI code page.
std::string ansiText(const Bar& bar, WPARAM wParam) {
    const auto part = static_cast<size_t>(wParam);
    if (part >= bar.texts.size() || bar.texts[part].empty()) return {};
    const std::wstring& text = bar.texts[part];
    const int wide = static_cast<int>(text.size());
    std::string narrow(static_cast<size_t>(::WideCharToMultiByte(CP_ACP, 0, text.c_str(), wide,
                                                                 nullptr, 0, nullptr, nullptr)),
                       '\0');
    ::WideCharToMultiByte(CP_ACP, 0, text.c_str(), wide, narrow.data(),
                          static_cast<int>(narrow.size()), nullptr, nullptr);
    return narrow;
}

LRESULT onGetTextLengthA(HWND, Bar& bar, WPARAM wParam, LPARAM) {
    return MAKELONG(ansiText(bar, wParam).size(), 0);
}

LRESULT onGetTextA(HWND, Bar& bar, WPARAM wParam, LPARAM lParam) {
    const std::string text = ansiText(bar, wParam);
    if (lParam) {
        auto* out = reinterpret_cast<char*>(lParam);
        text.copy(out, text.size());
        out[text.size()] = '\0';
    }
    return MAKELONG(text.size(), 0);
}

// As the common control answers: the window's text is the first panel's.
LRESULT onWindowText(HWND, Bar& bar, WPARAM wParam, LPARAM lParam) {
    const std::wstring& text = bar.texts[0];
    if (!lParam || wParam == 0) return 0;
    const size_t count = std::min(text.size(), static_cast<size_t>(wParam) - 1);
    auto* out = reinterpret_cast<wchar_t*>(lParam);
    text.copy(out, count);
    out[count] = L'\0';
    return static_cast<LRESULT>(count);
}

LRESULT onWindowTextLength(HWND, Bar& bar, WPARAM, LPARAM) {
    return static_cast<LRESULT>(bar.texts[0].size());
}

LRESULT onGetRect(HWND window, Bar& bar, WPARAM wParam, LPARAM lParam) {
    const auto part = static_cast<size_t>(wParam);
    if (part >= bar.rightEdges.size() || !lParam) return FALSE;
    *reinterpret_cast<RECT*>(lParam) = partRect(window, bar, part);
    return TRUE;
}

LRESULT onGetBorders(HWND, Bar& bar, WPARAM, LPARAM lParam) {
    if (lParam) {
        auto* borders = reinterpret_cast<int*>(lParam);
        borders[0] = 0;
        borders[1] = scaled(bar, kTop);
        borders[2] = scaled(bar, kGap);
    }
    return TRUE;
}

LRESULT onSetDpi(HWND window, Bar& bar, WPARAM wParam, LPARAM) {
    if (wParam == 0) return FALSE;
    bar.dpi = static_cast<int>(wParam);
    ::InvalidateRect(window, nullptr, TRUE);
    return TRUE;
}

LRESULT onSetBackground(HWND window, Bar& bar, WPARAM, LPARAM lParam) {
    const COLORREF previous = bar.background;
    bar.background = static_cast<COLORREF>(lParam);
    ::InvalidateRect(window, nullptr, TRUE);
    return static_cast<LRESULT>(previous);
}

LRESULT onSetMinHeight(HWND, Bar&, WPARAM, LPARAM) { return 0; }

LRESULT onSetFont(HWND window, Bar& bar, WPARAM wParam, LPARAM lParam) {
    bar.font = reinterpret_cast<HFONT>(wParam);
    if (LOWORD(lParam)) ::InvalidateRect(window, nullptr, TRUE);
    return 0;
}

LRESULT onGetFont(HWND, Bar& bar, WPARAM, LPARAM) { return reinterpret_cast<LRESULT>(bar.font); }

// Painted whole in WM_PAINT.
LRESULT onEraseBackground(HWND, Bar&, WPARAM, LPARAM) { return TRUE; }

LRESULT onPaint(HWND window, Bar& bar, WPARAM, LPARAM) {
    paint(window, bar);
    return 0;
}

LRESULT onSize(HWND window, Bar&, WPARAM, LPARAM) {
    ::InvalidateRect(window, nullptr, TRUE);
    return 0;
}

struct Route {
    UINT message;
    Handler handler;
};

constexpr Route kRoutes[] = {
    {SB_SETPARTS, onSetParts},
    {SB_GETPARTS, onGetParts},
    {SB_SETTEXTW, onSetText},
    {SB_GETTEXTW, onGetText},
    {SB_GETTEXTLENGTHW, onGetTextLength},
    {SB_GETTEXTA, onGetTextA},
    {SB_GETTEXTLENGTHA, onGetTextLengthA},
    {WM_GETTEXT, onWindowText},
    {WM_GETTEXTLENGTH, onWindowTextLength},
    {SB_GETRECT, onGetRect},
    {SB_GETBORDERS, onGetBorders},
    {kStatusBarSetDpi, onSetDpi},
    {SB_SETBKCOLOR, onSetBackground},
    {SB_SETMINHEIGHT, onSetMinHeight},
    {WM_SETFONT, onSetFont},
    {WM_GETFONT, onGetFont},
    {WM_ERASEBKGND, onEraseBackground},
    {WM_PAINT, onPaint},
    {WM_SIZE, onSize},
};

LRESULT route(HWND window, Bar& bar, UINT message, WPARAM wParam, LPARAM lParam) {
    for (const Route& r : kRoutes) {
        if (r.message == message) return r.handler(window, bar, wParam, lParam);
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK statusBarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* bar = new (std::nothrow) Bar;
        if (!bar) return FALSE;
        bar->host =
            static_cast<app::Host*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(bar));
        // The system sets up the window's own data here (its text, its
        // scroll bars); should it refuse, WM_NCDESTROY still frees the bar.
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
    Bar* bar = barOf(window);
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        delete bar;
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
    if (!bar) return ::DefWindowProcW(window, message, wParam, lParam);
    // Nothing thrown (a failed allocation, say) may unwind into the system.
    return app::runGuarded(bar->host, LRESULT{0},
                           [&] { return route(window, *bar, message, wParam, lParam); });
}

}  // namespace

bool registerStatusBarClass(HINSTANCE instance) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = statusBarProc;
    wc.hInstance = instance;
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kStatusBarClass;
    return ::RegisterClassExW(&wc) != 0;
}

}  // namespace platform
