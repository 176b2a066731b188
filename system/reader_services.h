// What screen readers get beyond the standard controls' own answers: names
// for the log and the notes, and the status bar's message panel as a polite
// live region. Both are dynamic annotations: the controls keep the system's
// accessible objects (and UI Automation its own proxies for them), which
// read the annotated properties. COM is started on the window's thread only
// the first time one of these is needed. Whatever fails leaves the controls
// answering as the standard ones do, silently.
#pragma once

#include <windows.h>

#include <oleacc.h>
#include <vector>

#include "win32/handles.h"

namespace platform {

class ReaderServices final {
  public:
    ReaderServices() = default;
    ReaderServices(const ReaderServices&) = delete;
    ReaderServices& operator=(const ReaderServices&) = delete;
    // On the window's thread, once the window is gone: COM stops if it was started here.
    ~ReaderServices();

    // Gives the control's client object this name, for readers that ask
    // through Active Accessibility and through UI Automation alike. Tells
    // no reader yet; false when the name could not be given.
    bool name(HWND control, const wchar_t* text);
    // Tells readers that read or cached the control before to read its name again.
    static void nameChanged(HWND control);
    // Tells readers that the panel's text changed; until it has succeeded
    // once, marks the panel as a polite live region, so that they read it out.
    void announcePanel(HWND bar, int panel);
    // Takes back every annotation made; before the controls are destroyed.
    void forgetAll();

  private:
    using CoCreateInstanceFn = HRESULT(WINAPI*)(REFCLSID, IUnknown*, DWORD, REFIID, void**);

    struct Annotated {
        HWND window;
        DWORD child;
        GUID property;
    };

    // COM on this thread, tried once.
    bool comReady();
    IAccPropServices* annotations();
    // Kept once, to be taken back: a name given again is not kept twice.
    void remember(const Annotated& annotated);

    HMODULE ole32_ = nullptr;  // kept loaded until the process ends
    bool comTried_ = false;
    bool comUsable_ = false;
    bool comStarted_ = false;
    bool liveMarked_ = false;
    CoCreateInstanceFn coCreateInstance_ = nullptr;
    win32::ComRef<IAccPropServices> annotations_;
    std::vector<Annotated> annotated_;
};

}  // namespace platform
