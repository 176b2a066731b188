// The main window: creates the controls from the design table, lays out the
// status bar and keeps its clock, and raises the handlers' events; the dialog
// manager keeps the focus. The services the handlers ask for are the host's
// (win32_host.h).
#pragma once

#include <windows.h>

#include "app/bindings.h"
#include "app/form1.h"
#include "win32/handles.h"
#include "window/win32_host.h"

namespace platform {

// The program's icon drawn at this size.
win32::UniqueIcon loadAppIcon(HINSTANCE instance, int width, int height);

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
    // Created with a resize frame, which Form_Load takes away.
    static constexpr DWORD kCreationStyle =
        WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_THICKFRAME;

    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    bool registerClass();
    void createControls();
    void stackUnfocusableBelow();
    void subclassForReading(int id);
    static LRESULT CALLBACK readingProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam);
    void nameForReaders() noexcept;
    void setUpStatusBar();
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

    // The scale of the monitor the window is on (window_dpi.cpp).
    RECT frameAt(int dpi) const;
    void showIcons();
    void placeControls();
    void placePanels();
    void applyDpi(int dpi);
    LRESULT onDpiChanged(int dpi, const RECT* suggested);
    LRESULT onGetDpiScaledSize(int dpi, SIZE* size) const;

    HINSTANCE instance_;
    Win32Host host_;
    app::Form1 form_;
    HWND window_ = nullptr;
    int dpi_ = 96;
    int systemDpi_ = 96;
    win32::UniqueGdiObject font_;
    // The class's icons, at the system's DPI; and the window's own at
    // another monitor's, while it is on one.
    win32::UniqueIcon bigIcon_;
    win32::UniqueIcon smallIcon_;
    win32::UniqueIcon dpiBigIcon_;
    win32::UniqueIcon dpiSmallIcon_;
    std::wstring clockText_;
    bool namedForReaders_ = false;
    bool namingForReaders_ = false;  // inside nameForReaders: a reader asked again
    bool questionOpen_ = false;
    bool sessionCloseQueued_ = false;  // posted at the session's end, not asked yet
    bool sessionEndBlocked_ = false;
};

}  // namespace platform
