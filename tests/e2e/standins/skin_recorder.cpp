// Stands in for the skinning library: records each attach call's two
// arguments, byte for byte (as hex), and answers failure.
#include "record.h"

namespace {
std::wstring hexOf(const char* text) {
    if (!text) return L"(null)";
    static const wchar_t digits[] = L"0123456789abcdef";
    std::wstring hex;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p) {
        hex += digits[*p >> 4];
        hex += digits[*p & 15];
    }
    return hex;
}
}  // namespace

extern "C" LONG WINAPI SkinH_AttachEx(const char* skinPath, const char* password) {
    appendRecord(L"attach\t" + hexOf(skinPath) + L"\t" + hexOf(password));
    return 0;
}
