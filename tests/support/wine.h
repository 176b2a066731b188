// Whether this process runs under Wine. The end-to-end tests copy stand-ins
// over the system's explorer.exe and rundll32.exe and end every process of
// those names: harmless in a Wine prefix, destructive on a real Windows.
#pragma once

#include <windows.h>

namespace support {

// Wine's ntdll exports wine_get_version; no Windows ntdll does.
bool isWineNtdll(HMODULE ntdll);
bool underWine();

}  // namespace support
