// Files and folders for programs under test: where they are, copies that are
// checked, temporary folders, and reading what others write.
#pragma once

#include <windows.h>

#include <string>

namespace support {

// The folder of the running program: the build's folder for ours.
std::wstring moduleDir();
std::wstring systemDir();
std::wstring windowsDir();

std::wstring fileNameOf(const std::wstring& path);
bool sameFile(const std::wstring& a, const std::wstring& b);

// Copies over any file of that name. A process that is ending may keep the
// target busy for a moment, so a busy file is tried again; anything else
// fails at once. On failure, the error is in *error when given.
bool copyFile(const std::wstring& from, const std::wstring& to, DWORD* error = nullptr);

// A file's bytes, read while others may still be writing it; empty if it
// cannot be opened.
std::string readFileBytes(const std::wstring& path);
std::wstring readUtf8File(const std::wstring& path);
// In bytes; -1 when there is no such file.
long long fileSize(const std::wstring& path);

// A fresh folder under the temporary directory, removed with its content.
class TempDir {
  public:
    explicit TempDir(const std::wstring& name);
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    ~TempDir();
    const std::wstring& path() const { return path_; }
    std::wstring file(const std::wstring& name) const { return path_ + L"\\" + name; }

  private:
    std::wstring path_;
};

}  // namespace support
