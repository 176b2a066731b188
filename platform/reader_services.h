// What screen readers get beyond the standard controls' own answers: names
// for the log and the notes, and the status bar's message panel as a polite
// live region. COM is started on the window's thread only the first time one
// of these is needed, and ole32 and oleacc are loaded then, from the system
// directory. Whatever fails leaves the controls answering as the standard
// ones do, silently.
#pragma once

#include <windows.h>

#include <oleacc.h>

#include "platform/accessible_name.h"
#include "win32/handles.h"

namespace platform {

class ReaderServices final {
  public:
    ReaderServices() = default;
    ReaderServices(const ReaderServices&) = delete;
    ReaderServices& operator=(const ReaderServices&) = delete;
    // On the window's thread, once the window is gone: COM stops if it was started here.
    ~ReaderServices();

    // The answer to WM_GETOBJECT for the control's client object: its
    // standard object under `name`, which must outlive the window. 0 for any
    // other object, or on failure: the control then answers itself.
    LRESULT namedClient(HWND control, WPARAM wParam, LPARAM lParam, const wchar_t* name);
    // Tells readers that the panel's text changed; the first time, marks the
    // panel as a polite live region, so that they read it out.
    void announcePanel(HWND bar, int panel);
    // Takes back the live-region mark; before the bar is destroyed.
    void forgetPanel(HWND bar, int panel);

  private:
    using CoCreateInstanceFn = HRESULT(WINAPI*)(REFCLSID, IUnknown*, DWORD, REFIID, void**);
    using CreateStdAccessibleObjectFn = HRESULT(WINAPI*)(HWND, LONG, REFIID, void**);
    using LresultFromObjectFn = LRESULT(WINAPI*)(REFIID, WPARAM, IUnknown*);

    // COM on this thread, tried once.
    bool comReady();
    // oleacc's and oleaut32's functions, bound once.
    bool oleaccReady();
    IAccPropServices* annotations();

    win32::UniqueLibrary ole32_;
    win32::UniqueLibrary oleaut32_;
    win32::UniqueLibrary oleacc_;
    bool comTried_ = false;
    bool comUsable_ = false;
    bool comStarted_ = false;
    bool oleaccTried_ = false;
    bool liveMarked_ = false;
    CoCreateInstanceFn coCreateInstance_ = nullptr;
    CreateStdAccessibleObjectFn createStdAccessibleObject_ = nullptr;
    LresultFromObjectFn lresultFromObject_ = nullptr;
    SysAllocStringFn sysAllocString_ = nullptr;
    win32::ComRef<IAccPropServices> annotations_;
};

}  // namespace platform
