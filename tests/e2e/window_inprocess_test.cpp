// The real window made inside the test's process, for what only the window's
// own thread can see.
#include <windows.h>

#include <gtest/gtest.h>
#include <initguid.h>  // defines oleacc.h's class and interface ids here
#include <oleacc.h>
#include <utility>
#include <vector>

#include "platform/status_bar.h"
#include "resources/form1_design.h"
#include "tests/e2e/harness.h"
#include "tests/e2e/inprocess_window.h"
#include "win32/handles.h"

namespace {

// The messages of one kind that the window's thread sends, caught by a
// message hook on that thread.
class SentMessages {
  public:
    explicit SentMessages(UINT message) : message_(message) {
        current_ = this;
        hook_.reset(::SetWindowsHookExW(WH_CALLWNDPROC, record, nullptr, ::GetCurrentThreadId()));
    }
    SentMessages(const SentMessages&) = delete;
    SentMessages& operator=(const SentMessages&) = delete;
    ~SentMessages() { current_ = nullptr; }

    bool hooked() const { return static_cast<bool>(hook_); }
    // The wParam of each such message the control was sent.
    std::vector<WPARAM> to(HWND control) const {
        std::vector<WPARAM> found;
        for (const auto& [target, wParam] : seen_) {
            if (target == control) found.push_back(wParam);
        }
        return found;
    }

  private:
    static LRESULT CALLBACK record(int code, WPARAM wParam, LPARAM lParam) {
        const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (code == HC_ACTION && current_ && sent->message == current_->message_) {
            current_->seen_.emplace_back(sent->hwnd, sent->wParam);
        }
        return ::CallNextHookEx(nullptr, code, wParam, lParam);
    }

    static inline SentMessages* current_ = nullptr;
    UINT message_;
    std::vector<std::pair<HWND, WPARAM>> seen_;
    win32::UniqueHook hook_;
};

// On Windows an automatic radio button clicks itself when it gets the focus,
// so a Tab onto a web link would open the browser; Wine's buttons never do,
// which is why the flag that stops it is checked as the window sets it.
TEST(WindowInProcess, WebLinksAreToldNotToClickWhenTheyGetTheFocus) {
    SentMessages dontClick(BM_SETDONTCLICK);
    ASSERT_TRUE(dontClick.hooked());
    const e2e::InProcessWindow form;
    ASSERT_TRUE(form.window());
    for (const int option : {design::kOption1, design::kOption2}) {
        SCOPED_TRACE(option);
        EXPECT_EQ(dontClick.to(form.control(option)), std::vector<WPARAM>{TRUE});
    }
}

// The system keeps the window's own data (its text among it) for a class
// that passes WM_NCCREATE and WM_NCDESTROY on, as a window procedure must.
TEST(WindowInProcess, TheStatusBarLetsTheSystemSetUpItsWindow) {
    const e2e::InProcessWindow form;
    ASSERT_TRUE(form.window());
    const HWND probe =
        ::CreateWindowExW(0, platform::kStatusBarClass, L"probe", WS_CHILD, 0, 0, 10, 10,
                          form.window(), nullptr, ::GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(probe);
    wchar_t text[16]{};
    EXPECT_EQ(::InternalGetWindowText(probe, text, 16), 5);
    EXPECT_STREQ(text, L"probe");
    ::DestroyWindow(probe);
}

// LiveSetting_Property_GUID, and its value Polite.
constexpr GUID kLiveSetting = {
    0xc12bcd8e, 0x2a8e, 0x4950, {0x8a, 0xe7, 0x36, 0x25, 0x11, 0x1d, 0x58, 0xeb}};
constexpr LONG kPolite = 1;

// The annotation service as a stand-in that records what the window asks
// of it. Registered as the service's class on this thread, it is what the
// window's CoCreateInstance gets: Wine's own service keeps nothing a reader
// could see. Lives on the test's stack: its counts are not kept.
class RecordingAnnotations final : public IAccPropServices, public IClassFactory {
  public:
    struct Call {
        HWND window;
        DWORD object;
        DWORD child;
        GUID property;
        VARTYPE type;
        LONG value;
    };
    std::vector<Call> set;
    std::vector<Call> cleared;

    RecordingAnnotations() {
        registered_ = SUCCEEDED(
            CoRegisterClassObject(CLSID_AccPropServices, static_cast<IClassFactory*>(this),
                                  CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie_));
    }
    RecordingAnnotations(const RecordingAnnotations&) = delete;
    RecordingAnnotations& operator=(const RecordingAnnotations&) = delete;
    ~RecordingAnnotations() {
        if (registered_) CoRevokeClassObject(cookie_);
    }
    bool registered() const { return registered_; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (iid == IID_IUnknown || iid == IID_IClassFactory) {
            *out = static_cast<IClassFactory*>(this);
        } else if (iid == IID_IAccPropServices) {
            *out = static_cast<IAccPropServices*>(this);
        } else {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        return outer ? CLASS_E_NOAGGREGATION : QueryInterface(iid, out);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

    HRESULT STDMETHODCALLTYPE SetHwndProp(HWND window, DWORD object, DWORD child,
                                          MSAAPROPID property, VARIANT value) override {
        set.push_back({window, object, child, property, value.vt, value.lVal});
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ClearHwndProps(HWND window, DWORD object, DWORD child,
                                             const MSAAPROPID* properties, int count) override {
        for (int i = 0; i < count; ++i)
            cleared.push_back({window, object, child, properties[i], VT_EMPTY, 0});
        return S_OK;
    }

    // Not asked for by the window.
    HRESULT STDMETHODCALLTYPE SetPropValue(const BYTE*, DWORD, MSAAPROPID, VARIANT) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetPropServer(const BYTE*, DWORD, const MSAAPROPID*, int,
                                            IAccPropServer*, AnnoScope) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE ClearProps(const BYTE*, DWORD, const MSAAPROPID*, int) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetHwndPropStr(HWND, DWORD, DWORD, MSAAPROPID, LPCWSTR) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetHwndPropServer(HWND, DWORD, DWORD, const MSAAPROPID*, int,
                                                IAccPropServer*, AnnoScope) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE ComposeHwndIdentityString(HWND, DWORD, DWORD, BYTE**,
                                                        DWORD*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE DecomposeHwndIdentityString(const BYTE*, DWORD, HWND*, DWORD*,
                                                          DWORD*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetHmenuProp(HMENU, DWORD, MSAAPROPID, VARIANT) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetHmenuPropStr(HMENU, DWORD, MSAAPROPID, LPCWSTR) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetHmenuPropServer(HMENU, DWORD, const MSAAPROPID*, int,
                                                 IAccPropServer*, AnnoScope) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE ClearHmenuProps(HMENU, DWORD, const MSAAPROPID*, int) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE ComposeHmenuIdentityString(HMENU, DWORD, BYTE**, DWORD*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE DecomposeHmenuIdentityString(const BYTE*, DWORD, HMENU*,
                                                           DWORD*) override {
        return E_NOTIMPL;
    }

  private:
    DWORD cookie_ = 0;
    bool registered_ = false;
};

// The annotation's address and property: the message panel's LiveSetting.
void expectMessagePanelsLiveSetting(const RecordingAnnotations::Call& call, HWND bar) {
    EXPECT_EQ(call.window, bar);
    EXPECT_EQ(call.object, static_cast<DWORD>(OBJID_CLIENT));
    EXPECT_EQ(call.child, static_cast<DWORD>(design::kMessagePanel));
    EXPECT_TRUE(IsEqualGUID(call.property, kLiveSetting));
}

// UI Automation reads a live region's politeness through the annotation
// service, which a second process cannot see under Wine: the window's calls
// to it are recorded instead. Marked with the first result a handler
// writes, nothing before; unmarked when the window goes.
TEST(WindowInProcess, TheMessagePanelIsMarkedAPoliteLiveRegionUntilTheWindowGoes) {
    const e2e::ComScope com;  // before the window's own
    ASSERT_TRUE(com.started());
    RecordingAnnotations annotations;
    ASSERT_TRUE(annotations.registered());
    HWND bar = nullptr;
    {
        const e2e::InProcessWindow form;
        ASSERT_TRUE(form.window());
        bar = form.control(design::kS1);
        EXPECT_TRUE(annotations.set.empty()) << "the start-up texts are no step's result";
        const HWND button = form.control(design::kCommand1);
        SendMessageW(form.window(), WM_COMMAND, MAKEWPARAM(design::kCommand1, BN_CLICKED),
                     reinterpret_cast<LPARAM>(button));
        ASSERT_EQ(annotations.set.size(), 1u);
        const auto& marked = annotations.set[0];
        expectMessagePanelsLiveSetting(marked, bar);
        EXPECT_EQ(marked.type, VT_I4);
        EXPECT_EQ(marked.value, kPolite);
        EXPECT_TRUE(annotations.cleared.empty());
    }
    ASSERT_EQ(annotations.cleared.size(), 1u);
    expectMessagePanelsLiveSetting(annotations.cleared[0], bar);
}

}  // namespace
