// The services the window's handlers ask of the platform, done with Win32 on
// the window and its controls.
#pragma once

#include <windows.h>

#include "app/host.h"
#include "system/reader_services.h"

namespace platform {

class Win32Host final : public app::Host {
  public:
    // The window whose controls and message queue the services use; null
    // once it has been destroyed.
    void attach(HWND window) { window_ = window; }
    void detach() { window_ = nullptr; }
    // What screen readers are told beyond the standard controls' answers.
    ReaderServices& readers() { return readers_; }

    // The user's session is ending, not only this program.
    void endSession() { sessionEnding_ = true; }

    // Hands one message to the window: keyboard navigation first, as a dialog box does.
    void dispatch(MSG& message);

    int messageBox(const std::wstring& prompt, int flags, const std::wstring& title) override;
    void clearClipboard() override;
    void launch(const std::wstring& commandLine, app::WindowStyle style) override;
    void setStatusText(int panel, const std::wstring& text) override;
    std::wstring buttonCaption(app::Button button) override;
    void setButtonCaption(app::Button button, const std::wstring& caption) override;
    void setButtonEnabled(app::Button button, bool enabled) override;
    void listAppend(const std::wstring& text) override;
    std::int16_t listCount() override;
    void listRemove(int index) override;
    void listSelect(int index) override;
    std::wstring timeOfDayText() override;
    bool pumpEvents() override;
    void waitForEvents(std::uint32_t milliseconds) override;
    std::wstring programDirectory() override;
    app::WindowHandle windowHandle() override;
    bool windowAlive() override;
    void unloadWindow() override;
    bool sessionEnding() override;
    void reportError(const app::HostError& error) override;

  private:
    // Opens and empties the clipboard; false, with the system's error code,
    // while another program holds it open.
    bool emptyClipboard(DWORD& openError);
    // Handles events as they come until the time is up, sleeping in between,
    // as Delay does; returns early once the program is asked to quit.
    void pauseLive(ULONGLONG milliseconds);
    HWND control(int id) const;
    // The control, or a HostError for `what` when the window no longer has it.
    HWND requireControl(int id, const wchar_t* what) const;
    // A control message that answered with failure stops the handler.
    [[noreturn]] static void controlRefused(const wchar_t* what);

    HWND window_ = nullptr;
    bool sessionEnding_ = false;
    ReaderServices readers_;
};

}  // namespace platform
