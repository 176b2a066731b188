// Functions bound by name at run time: those that not every supported Windows
// has (so the program and the skinning library still load where one is
// missing), and those of DLLs loaded by full path.
#pragma once

#include <windows.h>

namespace win32 {

// The export as a typed function pointer; null when the module or the
// export is absent.
template <typename F>
F bindExport(HMODULE module, const char* name) {
    if (!module) return nullptr;
    return reinterpret_cast<F>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

}  // namespace win32
