// Rules of path text, free of Windows headers so that they are tested
// natively.
#pragma once

#include <string>

namespace platform {

// The folder of a file, written as the system writes a folder: without a
// trailing separator, except at the root of a drive ("E:\"), where the
// separator is part of the name. Empty when the path names no folder.
std::wstring folderOf(const std::wstring& filePath);

// A name inside a folder, with one separator between them.
std::wstring pathIn(const std::wstring& folder, const std::wstring& name);

}  // namespace platform
