// The program's own fixed texts, as the user sees them.
#pragma once

namespace app::texts {

inline constexpr const wchar_t* kCaption = L"Zelk系列软件の解决U盘无法拔出小工具 V2.0";

// Status-bar panel 2.
inline constexpr const wchar_t* kStatusLoaded = L"程序已加载完毕...";
inline constexpr const wchar_t* kStatusClipboard = L"已清空剪贴板,您可尝试卸载U盘...";
inline constexpr const wchar_t* kStatusProcesses = L"已清除相关进程,您可尝试卸载U盘...";
inline constexpr const wchar_t* kStatusExplorerCleared = L"已清除Explorer,请点击重启Explorer...";
inline constexpr const wchar_t* kStatusExplorerRestarted = L"已重启Explorer,您可尝试卸载U盘...";

// The Explorer toggle's two captions: its only state.
inline constexpr const wchar_t* kCaptionClearExplorer = L"清除Explorer";
inline constexpr const wchar_t* kCaptionRestartExplorer = L"重启Explorer";

// Image names and command lines.
inline constexpr const wchar_t* kRundll32 = L"rundll32.exe";
inline constexpr const wchar_t* kExplorer = L"explorer.exe";
inline constexpr const wchar_t* kSafelyRemoveHardware =
    L"RUNDLL32.EXE shell32.dll,Control_RunDLL hotplug.dll";

// Web addresses: one host, http scheme.
inline constexpr const wchar_t* kWebSite = L"http://www.zelk-soft.example/";
inline constexpr const wchar_t* kForum = L"http://www.zelk-soft.example/bbs";

// The forced repair.
inline constexpr const wchar_t* kRepairPrompt =
    L"一键强力修复具有一定的风险性,但确保不会损坏您的计算机系统,是否继续?";
inline constexpr const wchar_t* kRepairTitle = L"Zelk系列软件提示";
inline constexpr const wchar_t* kLogOpen = L"[ ";

// The close question.
inline constexpr const wchar_t* kCloseTitle = L"Zelk系列软件";
inline constexpr const wchar_t* kCloseThanks = L"感谢您对Mirt、对Zelk系列的软件的支持!";
inline constexpr const wchar_t* kCloseQuestion =
    L"是否退出并到论坛可以下载更多Zelk系列原创免费软件?";

// A failure the program did not foresee, reported like a failed step.
inline constexpr const wchar_t* kUnexpectedFailure = L"程序内部错误";
inline constexpr const wchar_t* kUnknownReason = L"未知的错误";

}  // namespace app::texts
