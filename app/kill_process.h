#pragma once

#include <string>

#include "app/bindings.h"

namespace app {

// Ends every running process whose image name equals imageName, ignoring
// case. Reports nothing: a process that cannot be opened is passed over.
void KillProcess(Bindings& api, const std::wstring& imageName);

}  // namespace app
