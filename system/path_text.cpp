#include "system/path_text.h"

namespace platform {
namespace {

bool isSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

}  // namespace

std::wstring folderOf(const std::wstring& filePath) {
    const auto slash = filePath.find_last_of(L"\\/");
    if (slash == std::wstring::npos) return {};
    // "E:" alone would mean the drive's current folder, not its root.
    const bool driveRoot = slash > 0 && filePath[slash - 1] == L':';
    return filePath.substr(0, driveRoot ? slash + 1 : slash);
}

std::wstring pathIn(const std::wstring& folder, const std::wstring& name) {
    if (folder.empty() || isSeparator(folder.back())) return folder + name;
    return folder + L"\\" + name;
}

}  // namespace platform
