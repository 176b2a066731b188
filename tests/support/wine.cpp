#include "tests/support/wine.h"

namespace support {

bool isWineNtdll(HMODULE ntdll) {
    return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

bool underWine() { return isWineNtdll(GetModuleHandleW(L"ntdll.dll")); }

}  // namespace support
