// Stops a loaded DLL inside one of its calls into the system, from inside the
// test process: the DLL's import of that function is pointed at a stand-in
// that, on the armed thread and once, signals and waits to be released, then
// calls the real function. It lets a test hold the DLL at a chosen point (a
// slow paint, a call made while the DLL holds its lock) without any test-only
// entry point in the DLL.
#pragma once

#include <windows.h>

#include <atomic>

namespace e2e {

// Points `module`'s import of `function` (from `dll`, imported by name) at
// `replacement`; the address it had, or null when the module does not import
// it that way.
void* replaceImport(HMODULE module, const char* dll, const char* function, void* replacement);

// For the life of the object, `module`'s import of `function` goes to
// `replacement`.
class ReplacedImport {
  public:
    ReplacedImport(HMODULE module, const char* dll, const char* function, void* replacement)
        : module_(module),
          dll_(dll),
          function_(function),
          previous_(replaceImport(module, dll, function, replacement)) {}
    ReplacedImport(const ReplacedImport&) = delete;
    ReplacedImport& operator=(const ReplacedImport&) = delete;
    ~ReplacedImport() {
        if (previous_) replaceImport(module_, dll_, function_, previous_);
    }
    // The real function; null when the module does not import it.
    void* previous() const { return previous_; }

  private:
    HMODULE module_;
    const char* dll_;
    const char* function_;
    void* previous_;
};

class Stall {
  public:
    Stall();
    Stall(const Stall&) = delete;
    Stall& operator=(const Stall&) = delete;
    ~Stall();

    // The next call the stand-in sees on `thread` stops; while stopped, the
    // thread dispatches its messages when `pump` holds, as a paint that runs
    // a nested message loop would.
    void arm(DWORD thread, bool pump);
    bool waitStopped(DWORD timeoutMs = 15000) const;
    void release() const { ::SetEvent(release_); }
    // Whether the stop ended by itself, after `kLimitMs`, not released.
    bool timedOut() const { return timedOut_.load(); }
    // Whether, while stopped, the thread took a posted WM_APP thread message.
    bool drained() const { return drained_.load(); }
    bool over() const { return over_.load(); }

    // What the stopped call was given, as the stand-in told atCall().
    void* detail() const { return detail_.load(); }

    // Called by the stand-in first; stops when armed for this thread.
    void atCall(void* detail);

    static constexpr DWORD kLimitMs = 10000;

  private:
    void pumpUntilReleased();

    HANDLE stopped_;
    HANDLE release_;
    std::atomic<DWORD> thread_{0};
    std::atomic<void*> detail_{nullptr};
    std::atomic<bool> pump_{false};
    std::atomic<bool> timedOut_{false};
    std::atomic<bool> drained_{false};
    std::atomic<bool> over_{false};
};

}  // namespace e2e
