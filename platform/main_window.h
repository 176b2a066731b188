// The main window: creates the controls from the design table, raises the
// handlers' events and serves them as their host.
#pragma once

#include <windows.h>

#include "app/bindings.h"
#include "app/form1.h"
#include "app/host.h"
#include "platform/handles.h"

namespace platform {

class MainWindow final : public app::Host {
  public:
    MainWindow(HINSTANCE instance, app::Bindings& api);
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;
    ~MainWindow() override;

    // Creates the window and its controls, runs Form_Load, shows it centred.
    bool create(int showCommand);
    // Runs until the window is gone; returns the quit code.
    int run();

    // app::Host
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
    void reportError(const app::HostError& error) override;

  private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    void createControls();
    void clearGroupBoxesOverControls();
    void layoutStatusBar();
    void updateClock();
    void scheduleClock();
    void onCommand(int id);
    void onClose();
    void showCentred(int showCommand);
    void dispatch(MSG& message);
    HWND control(int id) const;
    HWND buttonWindow(app::Button button) const;
    int scale(int twips) const;
    // A control call that the system refused stops the handler.
    [[noreturn]] void controlFailed(const wchar_t* what) const;

    HINSTANCE instance_;
    app::Form1 form_;
    HWND window_ = nullptr;
    int dpi_ = 96;
    UniqueGdiObject font_;
    UniqueIcon bigIcon_;
    UniqueIcon smallIcon_;
    std::wstring clockText_;
    HWND lastFocus_ = nullptr;
};

}  // namespace platform
