// Text conversions for failure messages, record files and the host's /proc.
#pragma once

#include <string>
#include <vector>

namespace support {

// UTF-8, so that a failure message shows Chinese as it is.
std::string narrow(const std::wstring& text);
std::wstring widen(const std::string& utf8);
std::vector<std::wstring> split(const std::wstring& text, wchar_t separator);

}  // namespace support
