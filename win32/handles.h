// One non-copyable owner per handle kind, each with its own failure value.
#pragma once

#include <windows.h>

#include <utility>

namespace win32 {

template <typename T, T Invalid, auto Close>
class UniqueResource {
  public:
    UniqueResource() = default;
    explicit UniqueResource(T value) : value_(value) {}
    UniqueResource(const UniqueResource&) = delete;
    UniqueResource& operator=(const UniqueResource&) = delete;
    UniqueResource(UniqueResource&& other) noexcept
        : value_(std::exchange(other.value_, Invalid)) {}
    UniqueResource& operator=(UniqueResource&& other) noexcept {
        if (this != &other) reset(std::exchange(other.value_, Invalid));
        return *this;
    }
    ~UniqueResource() { reset(); }

    T get() const { return value_; }
    explicit operator bool() const { return value_ != Invalid; }
    void reset(T value = Invalid) {
        if (value_ != Invalid) Close(value_);
        value_ = value;
    }

  private:
    T value_ = Invalid;
};

namespace detail {
inline void closeHandle(HANDLE h) { ::CloseHandle(h); }
inline void freeLibrary(HMODULE m) { ::FreeLibrary(m); }
inline void deleteObject(HGDIOBJ o) { ::DeleteObject(o); }
inline void deleteDc(HDC dc) { ::DeleteDC(dc); }
inline void releaseScreenDc(HDC dc) { ::ReleaseDC(nullptr, dc); }
inline void localFree(HLOCAL p) { ::LocalFree(p); }
inline void destroyIcon(HICON i) { ::DestroyIcon(i); }
inline void unhookWindowsHook(HHOOK h) { ::UnhookWindowsHookEx(h); }
inline void heapFree(void* p) { ::HeapFree(::GetProcessHeap(), 0, p); }
inline void unhookWinEvent(HWINEVENTHOOK h) { ::UnhookWinEvent(h); }
}  // namespace detail

// OpenProcess, CreateProcess, threads: NULL on failure.
using UniqueHandle = UniqueResource<HANDLE, nullptr, detail::closeHandle>;
using UniqueLibrary = UniqueResource<HMODULE, nullptr, detail::freeLibrary>;
using UniqueGdiObject = UniqueResource<HGDIOBJ, nullptr, detail::deleteObject>;
// CreateCompatibleDC; not for GetDC's, which are released, not deleted.
using UniqueDc = UniqueResource<HDC, nullptr, detail::deleteDc>;
// GetDC(nullptr): the screen's, released, not deleted.
using ScreenDc = UniqueResource<HDC, nullptr, detail::releaseScreenDc>;
using UniqueLocal = UniqueResource<HLOCAL, nullptr, detail::localFree>;
using UniqueIcon = UniqueResource<HICON, nullptr, detail::destroyIcon>;
using UniqueHook = UniqueResource<HHOOK, nullptr, detail::unhookWindowsHook>;
using UniqueWinEventHook = UniqueResource<HWINEVENTHOOK, nullptr, detail::unhookWinEvent>;
// A block from HeapAlloc(GetProcessHeap(), ...).
using UniqueHeapBlock = UniqueResource<void*, nullptr, detail::heapFree>;

// CreateFileW fails with INVALID_HANDLE_VALUE, not NULL.
inline UniqueHandle ownFileHandle(HANDLE file) {
    return UniqueHandle(file == INVALID_HANDLE_VALUE ? nullptr : file);
}

// One reference to a COM object, released when it leaves scope.
template <typename T>
class ComRef {
  public:
    ComRef() = default;
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    ~ComRef() { reset(); }

    T* get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    // Where a function that hands out a reference writes it.
    void** put() {
        reset();
        return reinterpret_cast<void**>(&p_);
    }
    void reset() {
        if (p_) std::exchange(p_, nullptr)->Release();
    }

  private:
    T* p_ = nullptr;
};

// Holds the clipboard open; closes it when it leaves scope.
class ClipboardGuard {
  public:
    ClipboardGuard() = default;
    ClipboardGuard(const ClipboardGuard&) = delete;
    ClipboardGuard& operator=(const ClipboardGuard&) = delete;
    ~ClipboardGuard() {
        if (open_) ::CloseClipboard();
    }
    bool open(HWND owner) { return open_ = ::OpenClipboard(owner) != FALSE; }

  private:
    bool open_ = false;
};

}  // namespace win32
