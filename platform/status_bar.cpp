#include "platform/status_bar.h"

#include <array>
#include <commctrl.h>
#include <string>
#include <vector>

#include "platform/handles.h"

namespace platform {
namespace {

// Space between two panels, and the bar's top edge above them.
constexpr int kGap = 2;
constexpr int kTop = 2;
constexpr int kTextIndent = 4;

struct Bar {
    std::vector<int> rightEdges{-1};
    std::vector<std::wstring> texts{std::wstring()};
    HFONT font = nullptr;
    COLORREF background = CLR_DEFAULT;
};

Bar* barOf(HWND window) {
    return reinterpret_cast<Bar*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
}

RECT partRect(HWND window, const Bar& bar, size_t part) {
    RECT client{};
    ::GetClientRect(window, &client);
    RECT r{0, kTop, 0, client.bottom};
    r.left = part == 0 ? 0 : bar.rightEdges[part - 1] + kGap;
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
        r.left += kTextIndent;
        r.right -= kTextIndent;
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
    const UniqueDc memory(::CreateCompatibleDC(dc));
    const UniqueGdiObject bitmap(::CreateCompatibleBitmap(dc, client.right, client.bottom));
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

LRESULT CALLBACK statusBarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Bar* bar = barOf(window);
    switch (message) {
        case WM_NCCREATE:
            ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(new Bar));
            return TRUE;
        case WM_NCDESTROY:
            delete bar;
            ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            return 0;
        default:
            break;
    }
    if (!bar) return ::DefWindowProcW(window, message, wParam, lParam);
    switch (message) {
        case SB_SETPARTS: {
            const auto count = static_cast<size_t>(wParam);
            if (count == 0 || count > 256 || !lParam) return FALSE;
            const auto* edges = reinterpret_cast<const int*>(lParam);
            bar->rightEdges.assign(edges, edges + count);
            bar->texts.resize(count);
            ::InvalidateRect(window, nullptr, TRUE);
            return TRUE;
        }
        case SB_GETPARTS: {
            if (lParam) {
                auto* edges = reinterpret_cast<int*>(lParam);
                for (size_t i = 0; i < bar->rightEdges.size() && i < static_cast<size_t>(wParam);
                     ++i) {
                    edges[i] = bar->rightEdges[i];
                }
            }
            return static_cast<LRESULT>(bar->rightEdges.size());
        }
        case SB_SETTEXTW: {
            const size_t part = LOBYTE(LOWORD(wParam));
            if (part >= bar->texts.size()) return FALSE;
            bar->texts[part] = lParam ? reinterpret_cast<const wchar_t*>(lParam) : L"";
            RECT r = partRect(window, *bar, part);
            ::InvalidateRect(window, &r, TRUE);
            return TRUE;
        }
        case SB_GETTEXTLENGTHW:
        case SB_GETTEXTW: {
            const auto part = static_cast<size_t>(wParam);
            if (part >= bar->texts.size()) return 0;
            const std::wstring& text = bar->texts[part];
            if (message == SB_GETTEXTW && lParam) {
                auto* out = reinterpret_cast<wchar_t*>(lParam);
                text.copy(out, text.size());
                out[text.size()] = L'\0';
            }
            return MAKELONG(text.size(), 0);
        }
        case SB_GETRECT: {
            const auto part = static_cast<size_t>(wParam);
            if (part >= bar->rightEdges.size() || !lParam) return FALSE;
            *reinterpret_cast<RECT*>(lParam) = partRect(window, *bar, part);
            return TRUE;
        }
        case SB_GETBORDERS: {
            if (lParam) {
                auto* borders = reinterpret_cast<int*>(lParam);
                borders[0] = 0;
                borders[1] = kTop;
                borders[2] = kGap;
            }
            return TRUE;
        }
        case SB_SETBKCOLOR: {
            const COLORREF previous = bar->background;
            bar->background = static_cast<COLORREF>(lParam);
            ::InvalidateRect(window, nullptr, TRUE);
            return static_cast<LRESULT>(previous);
        }
        case SB_SETMINHEIGHT:
            return 0;
        case WM_SETFONT:
            bar->font = reinterpret_cast<HFONT>(wParam);
            if (LOWORD(lParam)) ::InvalidateRect(window, nullptr, TRUE);
            return 0;
        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(bar->font);
        case WM_ERASEBKGND:
            return TRUE;  // painted whole in WM_PAINT
        case WM_PAINT:
            paint(window, *bar);
            return 0;
        case WM_SIZE:
            ::InvalidateRect(window, nullptr, TRUE);
            return 0;
        default:
            return ::DefWindowProcW(window, message, wParam, lParam);
    }
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
