// Reads another process's start-up parameters from its process environment
// block, as the system keeps them current: what the process itself would
// answer, seen from outside.
#pragma once

#include <windows.h>

#include <string>

namespace e2e {

// The process's current directory as it holds it (with its trailing
// backslash); empty when it cannot be read. The handle needs
// PROCESS_QUERY_INFORMATION and PROCESS_VM_READ access.
std::wstring currentDirectoryOf(HANDLE process);

}  // namespace e2e
