// The main window: creates the controls from the design table, lays out the
// status bar and keeps its clock, and raises the handlers' events; the dialog
// manager keeps the focus. The services the handlers ask for are the host's
// (win32_host.h).
#pragma once

#include <windows.h>

#include "app/bindings.h"
#include "app/form1.h"
#include "platform/win32_host.h"
#include "win32/handles.h"

namespace platform {

class MainWindow final {
  public:
    MainWindow(HINSTANCE instance, app::Bindings& api);
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;
    ~MainWindow();

    // Creates the window and its controls, runs Form_Load, shows it centred.
    bool create(int showCommand);
    // Runs until the window is gone; returns the quit code.
    int run();

  private:
    // Posted to the window: the close question that the session's end asks.
    static constexpr UINT kAskToCloseForSession = WM_APP + 1;

    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    bool registerClass();
    void createControls();
    void stackUnfocusableBelow();
    void subclassForReading(int id);
    static LRESULT CALLBACK readingProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam);
    void nameForReaders();
    void layoutStatusBar();
    void updateClock();
    void scheduleClock();
    LRESULT focusedPushButton() const;
    void onCommand(int id);
    void askToClose(int unloadMode);
    void onClose();
    LRESULT onQueryEndSession(LPARAM flags);
    void onQueuedSessionClose();
    void onEndSession(bool ending, LPARAM flags);
    void blockSessionEnd();
    void allowSessionEnd();
    void onDestroy();
    void showCentred(int showCommand);
    HWND control(int id) const;
    int scale(int twips) const;

    HINSTANCE instance_;
    Win32Host host_;
    app::Form1 form_;
    HWND window_ = nullptr;
    int dpi_ = 96;
    win32::UniqueGdiObject font_;
    win32::UniqueIcon bigIcon_;
    win32::UniqueIcon smallIcon_;
    std::wstring clockText_;
    bool namedForReaders_ = false;
    bool questionOpen_ = false;
    bool sessionCloseQueued_ = false;  // posted at the session's end, not asked yet
    bool sessionEndBlocked_ = false;
};

}  // namespace platform
