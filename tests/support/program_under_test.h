// The program under test as a driver sees it from outside.
#pragma once

namespace support {

inline constexpr wchar_t kProgramFile[] = L"ZelkUsbTool.exe";
inline constexpr wchar_t kProgramWindowClass[] = L"ZelkUsbTool.Form1";

}  // namespace support
