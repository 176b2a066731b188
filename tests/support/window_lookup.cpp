#include "tests/support/window_lookup.h"

#include <array>

namespace support {

std::wstring classNameOf(HWND window) {
    std::array<wchar_t, 256> name{};
    const int length = GetClassNameW(window, name.data(), static_cast<int>(name.size()));
    return std::wstring(name.data(), static_cast<size_t>(length > 0 ? length : 0));
}

std::wstring windowTextOf(HWND window) {
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
    return text;
}

std::vector<HWND> allTopLevel(DWORD processId, const wchar_t* className, const wchar_t* title) {
    std::vector<HWND> found;
    for (HWND w = nullptr; (w = FindWindowExW(nullptr, w, className, title)) != nullptr;) {
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (owner == processId && IsWindowVisible(w)) found.push_back(w);
    }
    return found;
}

HWND findTopLevel(DWORD processId, const wchar_t* className, const wchar_t* title) {
    const std::vector<HWND> found = allTopLevel(processId, className, title);
    return found.empty() ? nullptr : found.front();
}

}  // namespace support
