// Starts the system programs the handlers name, by full path from the
// system's own directories, never by a search that a planted file could win.
#pragma once

#include <string>

#include "app/host.h"

namespace platform {

// The full path of the program that a command line's first word names, or
// empty when it is not one of the system programs this tool starts.
std::wstring systemProgramPath(const std::wstring& commandLine);

// Starts commandLine (kept as it is) with the program resolved above; throws
// app::HostError when it cannot be started.
void launchSystemProgram(const std::wstring& commandLine, app::WindowStyle style);

}  // namespace platform
