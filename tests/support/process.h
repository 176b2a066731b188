// Processes from outside: start one and own it, find every process of an
// image name, end them.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "win32/handles.h"

namespace support {

// A started process that its owner ends: it is ended when it goes.
class Process {
  public:
    Process() = default;
    Process(HANDLE process, DWORD id) : handle_(process), id_(id) {}
    Process(Process&& other) noexcept = default;
    Process& operator=(Process&& other) noexcept;
    ~Process() { terminate(); }

    HANDLE handle() const { return handle_.get(); }
    DWORD id() const { return id_; }
    bool running() const;
    bool waitForExit(DWORD timeoutMs = 15000) const;
    DWORD exitCode() const;
    // When it ended, in FILETIME units (100 ns, UTC); 0 while it runs.
    ULONGLONG exitTime() const;
    void terminate();

  private:
    win32::UniqueHandle handle_;
    DWORD id_ = 0;
};

// Starts the program with its quoted path as the command line, in the folder
// given, with the environment block given (UTF-16) or ours. An empty Process
// when it cannot start, the error then in *error when given.
Process startProcess(const std::wstring& path, const std::wstring& directory,
                     std::vector<wchar_t>* environment = nullptr, DWORD* error = nullptr);

// Ids of the running processes with this image name, in any letter case, as
// a Toolhelp walk sees them.
std::vector<DWORD> processesNamed(const std::wstring& imageName);
// The file a running process was started from; empty when it cannot be read.
std::wstring imagePathOf(DWORD processId);
// Ends every such process; true when none is left.
bool endProcessesNamed(const std::wstring& imageName);

}  // namespace support
