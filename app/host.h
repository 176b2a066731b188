// What the window's handlers need from the platform. Nothing here names a
// Windows header: the real implementation lives in system/, a fake one in
// the unit tests.
#pragma once

#include <cstdint>
#include <exception>
#include <string>

namespace app {

// Win32 window handle as an integer, so that the handlers can pass it on to
// the window-style functions without knowing its type.
using WindowHandle = std::uintptr_t;

// Window style of a launched program.
enum class WindowStyle : int {
    NormalFocus = 1,     // SW_SHOWNORMAL
    MinimizedFocus = 2,  // SW_SHOWMINIMIZED
};

// Message-box flags and answers.
inline constexpr int kYesNoInfo = 68;        // MB_YESNO | MB_ICONINFORMATION
inline constexpr int kYesNoCancelInfo = 67;  // MB_YESNOCANCEL | MB_ICONINFORMATION
inline constexpr int kAnswerYes = 6;
inline constexpr int kAnswerNo = 7;
inline constexpr int kAnswerCancel = 2;

enum class Button { Command1, Command2, Command3, Command4, Command5 };

// A host operation that failed. The handler stops where it was raised; the
// window reports it and keeps running (see runGuarded).
class HostError : public std::exception {
  public:
    HostError(std::wstring operation, std::wstring reason)
        : operation_(std::move(operation)), reason_(std::move(reason)) {}
    const char* what() const noexcept override { return "host operation failed"; }
    const std::wstring& operation() const { return operation_; }
    const std::wstring& reason() const { return reason_; }

  private:
    std::wstring operation_;
    std::wstring reason_;
};

// Raised by a host operation that waited with the window live and found it
// unloaded when the wait ended (a close answered meanwhile): the handler ends
// quietly, as there is no window left to update or to report to.
class WindowClosed : public std::exception {
  public:
    const char* what() const noexcept override { return "window closed during a wait"; }
};

// Services of the window's runtime. Every method runs on the window's thread.
class Host {
  public:
    virtual ~Host() = default;

    // Modal message box owned by the window; returns kAnswerYes/No/Cancel.
    virtual int messageBox(const std::wstring& prompt, int flags, const std::wstring& title) = 0;
    // Empties the system clipboard. Another program may hold it open for a
    // moment: it is tried again for about half a second, with pending events
    // handled in between. Throws HostError when it stays busy, WindowClosed
    // when the window was unloaded while it waited.
    virtual void clearClipboard() = 0;
    // Starts a system program; returns without waiting. Throws HostError.
    virtual void launch(const std::wstring& commandLine, WindowStyle style) = 0;
    // Status-bar panel text, panels counted from 1.
    virtual void setStatusText(int panel, const std::wstring& text) = 0;

    virtual std::wstring buttonCaption(Button button) = 0;
    virtual void setButtonCaption(Button button, const std::wstring& caption) = 0;
    virtual void setButtonEnabled(Button button, bool enabled) = 0;

    // The log list box.
    virtual void listAppend(const std::wstring& text) = 0;
    virtual std::int16_t listCount() = 0;
    virtual void listRemove(int index) = 0;
    virtual void listSelect(int index) = 0;

    // Time of day in the user's long time format, with seconds.
    virtual std::wstring timeOfDayText() = 0;

    // Handles every pending event. Returns false once the program has been
    // asked to quit (the request stays queued for the main loop).
    virtual bool pumpEvents() = 0;
    // Sleeps until an event arrives or the milliseconds have passed.
    virtual void waitForEvents(std::uint32_t milliseconds) = 0;

    virtual std::wstring programDirectory() = 0;
    virtual WindowHandle windowHandle() = 0;
    // False once the window has been unloaded (a nested close during a wait).
    virtual bool windowAlive() = 0;
    // Closes the window without asking again; the program ends with it.
    virtual void unloadWindow() = 0;
    // True once the user's session is ending: the system ends every program
    // and starts the shell at the next logon, so nothing is started any more.
    virtual bool sessionEnding() = 0;

    // Tells the user that an operation failed and why.
    virtual void reportError(const HostError& error) = 0;
};

}  // namespace app
