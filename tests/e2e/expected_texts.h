// The program's texts that more than one end-to-end test expects, written
// out here rather than taken from the program, so a changed text fails.
#pragma once

namespace e2e::expected {

inline constexpr wchar_t kCaption[] = L"Zelk系列软件の解决U盘无法拔出小工具 V2.0";
inline constexpr wchar_t kCloseTitle[] = L"Zelk系列软件";
inline constexpr wchar_t kRepairTitle[] = L"Zelk系列软件提示";
inline constexpr wchar_t kClipboardDone[] = L"已清空剪贴板,您可尝试卸载U盘...";
inline constexpr wchar_t kProcessesDone[] = L"已清除相关进程,您可尝试卸载U盘...";

}  // namespace e2e::expected
