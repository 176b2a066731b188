#include "system/text.h"

#include <array>

#include "win32/handles.h"

namespace platform {

std::string toAnsi(const std::wstring& text) {
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    const int bytes =
        ::WideCharToMultiByte(CP_ACP, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<std::size_t>(bytes > 0 ? bytes : 0), '\0');
    if (bytes > 0) {
        ::WideCharToMultiByte(CP_ACP, 0, text.data(), size, result.data(), bytes, nullptr, nullptr);
    }
    return result;
}

std::wstring fromAnsi(const char* text, std::size_t length) {
    if (length == 0) return {};
    const int size = static_cast<int>(length);
    const int chars = ::MultiByteToWideChar(CP_ACP, 0, text, size, nullptr, 0);
    std::wstring result(static_cast<std::size_t>(chars > 0 ? chars : 0), L'\0');
    if (chars > 0) ::MultiByteToWideChar(CP_ACP, 0, text, size, result.data(), chars);
    return result;
}

bool fitsAnsi(const std::wstring& text) {
    if (text.empty()) return true;
    BOOL lossy = FALSE;
    ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), static_cast<int>(text.size()),
                          nullptr, 0, nullptr, &lossy);
    return !lossy;
}

std::wstring systemErrorText(DWORD code) {
    wchar_t* buffer = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    const win32::UniqueLocal owner(buffer);
    std::wstring text = length ? std::wstring(buffer, length) : std::wstring();
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ')) {
        text.pop_back();
    }
    if (text.empty()) {
        std::array<wchar_t, 16> digits{};
        ::wsprintfW(digits.data(), L"%lu", code);
        text = L"错误代码 " + std::wstring(digits.data());
    }
    return text;
}

std::wstring windowText(HWND window) {
    const int length = ::GetWindowTextLengthW(window);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = ::GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    return text;
}

}  // namespace platform
