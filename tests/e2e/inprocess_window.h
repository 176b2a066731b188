// The real main window, made inside the test's own process: what the window
// says to its own controls, its fonts and its GDI objects can be looked at
// directly, which another process cannot do. Beside it, what such a test
// puts in place of the system: quick time and no processes for the
// handlers, message boxes answered unseen, launches recorded unmade.
#pragma once

#include <windows.h>

#include <functional>
#include <initializer_list>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "system/win32_bindings.h"
#include "tests/e2e/import_stall.h"
#include "window/main_window.h"

namespace e2e {

// The functions the handlers bind by name, for a window inside a test: time
// runs twenty times as fast (a forced repair takes well under a second),
// and no process is walked or ended. The window-style, skin and text
// functions are the real ones.
class QuickBindings final : public app::Bindings {
  public:
    QuickBindings();
    std::uint32_t timeGetTime() override;
    std::int32_t getWindowLongA(app::WindowHandle window, int index) override;
    std::int32_t setWindowLongA(app::WindowHandle window, int index, std::int32_t value) override;
    app::KernelHandle createToolhelp32Snapshot(std::uint32_t, std::uint32_t) override;
    int process32First(app::KernelHandle, app::ProcessEntry32A*) override { return 0; }
    int process32Next(app::KernelHandle, app::ProcessEntry32A*) override { return 0; }
    app::KernelHandle openProcess(std::uint32_t, int, std::uint32_t) override { return 0; }
    int terminateProcess(app::KernelHandle, std::uint32_t) override { return 0; }
    int closeHandle(app::KernelHandle) override { return 1; }
    std::int32_t skinAttachEx(const char* skinPath, const char* password) override;
    std::string toAnsi(const std::wstring& text) override;
    std::wstring fromAnsi(const char* text, std::size_t length) override;

  private:
    platform::Win32Bindings real_;
    std::uint32_t start_;
};

class InProcessWindow {
  public:
    // Made and shown, as the program does at start, in a process that
    // declares itself DPI-aware as the program does; with the system's own
    // bindings, or the ones given (which must outlive the window).
    InProcessWindow();
    explicit InProcessWindow(app::Bindings& bindings);
    InProcessWindow(const InProcessWindow&) = delete;
    InProcessWindow& operator=(const InProcessWindow&) = delete;
    // Destroys the window, takes back the quit request it leaves, and
    // unregisters its classes, so that the next test can make it again.
    ~InProcessWindow();

    HWND window() const { return window_; }
    HWND control(int id) const { return ::GetDlgItem(window_, id); }
    // A control's rectangle in the window's client area.
    RECT rect(int id) const;
    // Clicks a control as the dialog manager would, and returns when its handler has.
    void click(int id) const;

  private:
    platform::Win32Bindings bindings_;
    std::unique_ptr<platform::MainWindow> main_;
    HWND window_ = nullptr;
};

// While it lives, this program's message boxes are not shown: each is
// answered by its flags (IDCANCEL for flags not listed), and its flags kept.
class ScriptedBoxes {
  public:
    ScriptedBoxes(std::initializer_list<std::pair<const UINT, int>> answers);
    ScriptedBoxes(const ScriptedBoxes&) = delete;
    ScriptedBoxes& operator=(const ScriptedBoxes&) = delete;
    ~ScriptedBoxes();
    bool installed() const { return replaced_.previous() != nullptr; }
    const std::vector<UINT>& asked() const { return asked_; }

  private:
    static int WINAPI messageBox(HWND, LPCWSTR, LPCWSTR, UINT flags);
    static inline ScriptedBoxes* current_ = nullptr;
    std::map<UINT, int> answers_;
    std::vector<UINT> asked_;
    ReplacedImport replaced_;
};

// While it lives, this program's launches are recorded and not made.
class RecordedLaunches {
  public:
    RecordedLaunches();
    RecordedLaunches(const RecordedLaunches&) = delete;
    RecordedLaunches& operator=(const RecordedLaunches&) = delete;
    ~RecordedLaunches();
    bool installed() const { return replaced_.previous() != nullptr; }
    // The command lines, in order.
    const std::vector<std::wstring>& commandLines() const { return commandLines_; }

  private:
    static BOOL WINAPI createProcess(LPCWSTR, LPWSTR, LPSECURITY_ATTRIBUTES, LPSECURITY_ATTRIBUTES,
                                     BOOL, DWORD, LPVOID, LPCWSTR, LPSTARTUPINFOW,
                                     LPPROCESS_INFORMATION);
    static inline RecordedLaunches* current_ = nullptr;
    std::vector<std::wstring> commandLines_;
    ReplacedImport replaced_;
};

// A status-bar panel's text, read in this process.
std::wstring statusPanelText(HWND bar, int part);

// Clicks the forced repair (its question must be answered Yes) and returns
// when the handler has. Each time the log grows, `atLines` runs with the
// number of lines, inside the repair's pause that follows.
void runForcedRepair(const InProcessWindow& form, const std::function<void(int)>& atLines);

}  // namespace e2e
