#include "skin/subclass.h"

#include <algorithm>
#include <array>

namespace skin {
namespace {

constexpr wchar_t kPreviousProc[] = L"ZelkSkin.PreviousProc";

// Top-level helper windows of the system that are never the program's own look.
constexpr std::array<std::wstring_view, 9> kUnskinnedClasses{
    L"#32768",  // menus
    L"#32769", L"#32771",      L"#32772",           L"ComboLBox",
    L"IME",    L"MSCTFIME UI", L"tooltips_class32", L"SysShadow",
};

}  // namespace

bool hasClass(HWND window, std::wstring_view name) {
    std::array<wchar_t, 64> buffer{};
    const int length = ::GetClassNameW(window, buffer.data(), static_cast<int>(buffer.size()));
    if (length <= 0) return false;
    const std::wstring_view actual(buffer.data(), static_cast<std::size_t>(length));
    return ::CompareStringOrdinal(actual.data(), static_cast<int>(actual.size()), name.data(),
                                  static_cast<int>(name.size()), TRUE) == CSTR_EQUAL;
}

bool isSkinnable(HWND window, DWORD style, bool messageOnly) {
    if ((style & WS_CHILD) || messageOnly) return false;
    return std::none_of(kUnskinnedClasses.begin(), kUnskinnedClasses.end(),
                        [window](std::wstring_view name) { return hasClass(window, name); });
}

bool isSubclassed(HWND window) { return ::GetPropW(window, kPreviousProc) != nullptr; }

WNDPROC previousProc(HWND window) {
    return reinterpret_cast<WNDPROC>(::GetPropW(window, kPreviousProc));
}

bool subclass(HWND window, WNDPROC procedure) {
    if (isSubclassed(window)) return false;
    const auto previous = ::GetWindowLongPtrW(window, GWLP_WNDPROC);
    if (!previous || !::SetPropW(window, kPreviousProc, reinterpret_cast<HANDLE>(previous))) {
        return false;
    }
    if (!::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure))) {
        ::RemovePropW(window, kPreviousProc);
        return false;
    }
    return true;
}

void unsubclass(HWND window, WNDPROC procedure) {
    const auto previous = reinterpret_cast<LONG_PTR>(::GetPropW(window, kPreviousProc));
    if (!previous) return;
    if (::GetWindowLongPtrW(window, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(procedure)) {
        ::SetWindowLongPtrW(window, GWLP_WNDPROC, previous);
    }
    ::RemovePropW(window, kPreviousProc);
}

}  // namespace skin
