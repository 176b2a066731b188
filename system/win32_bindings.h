// The functions the program binds by name, each resolved at its first call
// from a library loaded by full path.
#pragma once

#include <windows.h>

#include "app/bindings.h"
#include "win32/handles.h"

namespace platform {

class Win32Bindings final : public app::Bindings {
  public:
    std::uint32_t timeGetTime() override;
    std::int32_t getWindowLongA(app::WindowHandle window, int index) override;
    std::int32_t setWindowLongA(app::WindowHandle window, int index, std::int32_t value) override;
    app::KernelHandle createToolhelp32Snapshot(std::uint32_t flags,
                                               std::uint32_t processId) override;
    int process32First(app::KernelHandle snapshot, app::ProcessEntry32A* entry) override;
    int process32Next(app::KernelHandle snapshot, app::ProcessEntry32A* entry) override;
    app::KernelHandle openProcess(std::uint32_t access, int inherit,
                                  std::uint32_t processId) override;
    int terminateProcess(app::KernelHandle process, std::uint32_t exitCode) override;
    int closeHandle(app::KernelHandle handle) override;
    std::int32_t skinAttachEx(const char* skinPath, const char* password) override;
    std::string toAnsi(const std::wstring& text) override;
    std::wstring fromAnsi(const char* text, std::size_t length) override;

  private:
    // Resolves `name` in `module` once; a missing export is a HostError.
    template <typename F>
    F required(F& slot, HMODULE module, const wchar_t* library, const char* name);

    win32::UniqueLibrary winmm_;
    win32::UniqueLibrary skin_;
    bool skinTried_ = false;

    DWORD(WINAPI* timeGetTime_)() = nullptr;
    LONG(WINAPI* getWindowLongA_)(HWND, int) = nullptr;
    LONG(WINAPI* setWindowLongA_)(HWND, int, LONG) = nullptr;
    HANDLE(WINAPI* createSnapshot_)(DWORD, DWORD) = nullptr;
    int walkProcesses(BOOL(WINAPI*& slot)(HANDLE, void*), const char* name,
                      app::KernelHandle snapshot, app::ProcessEntry32A* entry);
    BOOL(WINAPI* process32First_)(HANDLE, void*) = nullptr;
    BOOL(WINAPI* process32Next_)(HANDLE, void*) = nullptr;
    HANDLE(WINAPI* openProcess_)(DWORD, BOOL, DWORD) = nullptr;
    BOOL(WINAPI* terminateProcess_)(HANDLE, UINT) = nullptr;
    BOOL(WINAPI* closeHandle_)(HANDLE) = nullptr;
    LONG(WINAPI* skinAttachEx_)(const char*, const char*) = nullptr;
};

}  // namespace platform
