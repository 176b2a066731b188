// Waits on a condition, never on the clock alone.
#pragma once

#include <windows.h>

#include <functional>

namespace support {

// Polls until the condition holds or the time is up; true when it held. The
// default is generous: a slow machine must not fail a test.
bool waitUntil(const std::function<bool()>& condition, DWORD timeoutMs = 15000, DWORD pollMs = 20);

}  // namespace support
