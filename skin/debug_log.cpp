#include <windows.h>

#include <array>

#include "skin/debug_log.h"

namespace skin {

void debugLog(std::string_view text, std::size_t line) {
    std::array<char, 160> buffer{};
    std::size_t used = 0;
    const auto put = [&](std::string_view part) {
        for (char c : part) {
            if (used + 1 < buffer.size()) buffer[used++] = c;
        }
    };
    put("SkinH_VB6: ");
    if (line) {
        std::array<char, 24> digits{};
        std::size_t n = digits.size();
        for (std::size_t rest = line; rest && n; rest /= 10) {
            digits[--n] = static_cast<char>('0' + rest % 10);
        }
        put("line ");
        put(std::string_view(digits.data() + n, digits.size() - n));
        put(": ");
    }
    put(text);
    put("\n");
    ::OutputDebugStringA(buffer.data());
}

void logStopped(const char* what) noexcept { debugLog(what); }

}  // namespace skin
