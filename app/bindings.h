// The system and skinning-library functions that the program binds by name,
// in the shapes the handlers call them. system/ binds the real ones.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "app/host.h"

namespace app {

// Toolhelp's ANSI process record, 296 bytes, exchanged as the system lays it out.
struct ProcessEntry32A {
    std::uint32_t dwSize;
    std::uint32_t cntUsage;
    std::uint32_t th32ProcessID;
    std::uint32_t th32DefaultHeapID;  // a pointer-sized field on 64-bit; 32 bits here
    std::uint32_t th32ModuleID;
    std::uint32_t cntThreads;
    std::uint32_t th32ParentProcessID;
    std::int32_t pcPriClassBase;
    std::uint32_t dwFlags;
    char szExeFile[260];
};
static_assert(sizeof(ProcessEntry32A) == 296, "the ANSI record is 296 bytes");
static_assert(offsetof(ProcessEntry32A, szExeFile) == 36, "the name field is at byte 36");

// Kernel handle as an integer; 0 and all-ones are the two failure values.
using KernelHandle = std::uintptr_t;
inline constexpr KernelHandle kInvalidHandleValue = ~KernelHandle{0};

inline constexpr std::uint32_t kTh32csSnapProcess = 2;
inline constexpr std::uint32_t kProcessTerminate = 1;
inline constexpr int kGwlStyle = -16;
inline constexpr std::uint32_t kWsThickFrame = 0x00040000;

class Bindings {
  public:
    virtual ~Bindings() = default;

    // winmm.dll
    virtual std::uint32_t timeGetTime() = 0;

    // user32
    virtual std::int32_t getWindowLongA(WindowHandle window, int index) = 0;
    virtual std::int32_t setWindowLongA(WindowHandle window, int index, std::int32_t value) = 0;

    // Kernel32
    virtual KernelHandle createToolhelp32Snapshot(std::uint32_t flags, std::uint32_t processId) = 0;
    virtual int process32First(KernelHandle snapshot, ProcessEntry32A* entry) = 0;
    virtual int process32Next(KernelHandle snapshot, ProcessEntry32A* entry) = 0;
    virtual KernelHandle openProcess(std::uint32_t access, int inherit,
                                     std::uint32_t processId) = 0;
    virtual int terminateProcess(KernelHandle process, std::uint32_t exitCode) = 0;
    virtual int closeHandle(KernelHandle handle) = 0;

    // SkinH_VB6.dll. A missing library or entry point is a no-op: the skin is
    // only a look.
    virtual std::int32_t skinAttachEx(const char* skinPath, const char* password) = 0;

    // Text to and from the system's ANSI code page.
    virtual std::string toAnsi(const std::wstring& text) = 0;
    virtual std::wstring fromAnsi(const char* text, std::size_t length) = 0;
};

}  // namespace app
