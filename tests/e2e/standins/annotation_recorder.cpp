// Stands in for the system's annotation service (registered as its class for
// a test): records each annotation the program makes and takes back, which
// Wine's own service does not keep, so that a test can read from outside
// what names and live settings readers would get. One record per property:
//   annotate <window> <object> <child> <property> <value>
//   clear    <window> <object> <child> <property>
// A string value as it is; a number as "i4:<n>".
#include <oleacc.h>

#include "record.h"

namespace {

constexpr CLSID kAccPropServicesClass = {
    0xb5f8350b, 0x0548, 0x48b1, {0xa6, 0xee, 0x88, 0xbd, 0x00, 0xb4, 0xa5, 0xe7}};
constexpr IID kAccPropServicesInterface = {
    0x6e26e776, 0x04f0, 0x495d, {0x80, 0xe4, 0x33, 0x30, 0x35, 0x2e, 0x31, 0x69}};

std::wstring element(HWND window, DWORD object, DWORD child, const GUID& property) {
    wchar_t guid[40]{};
    StringFromGUID2(property, guid, 40);
    return std::to_wstring(reinterpret_cast<ULONG_PTR>(window)) + L"\t" +
           std::to_wstring(static_cast<LONG>(object)) + L"\t" +
           std::to_wstring(static_cast<LONG>(child)) + L"\t" + guid;
}

// With E2E_ASK_AGAIN set, each name given asks its control again from inside
// the call, once, as a reader may while the program is still naming.
void askAgainFrom(HWND window) {
    static bool asking = false;
    if (asking || GetEnvironmentVariableW(L"E2E_ASK_AGAIN", nullptr, 0) == 0) return;
    asking = true;
    SendMessageW(window, WM_GETOBJECT, 0, static_cast<LPARAM>(static_cast<DWORD>(OBJID_CLIENT)));
    asking = false;
}

// One object, never freed, is both the class factory and the service.
class Recorder final : public IAccPropServices, public IClassFactory {
  public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (iid == IID_IUnknown || iid == IID_IClassFactory) {
            *out = static_cast<IClassFactory*>(this);
        } else if (iid == kAccPropServicesInterface) {
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

    HRESULT STDMETHODCALLTYPE SetHwndPropStr(HWND window, DWORD object, DWORD child,
                                             MSAAPROPID property, LPCWSTR text) override {
        appendRecord(L"annotate\t" + element(window, object, child, property) + L"\t" + text);
        askAgainFrom(window);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetHwndProp(HWND window, DWORD object, DWORD child,
                                          MSAAPROPID property, VARIANT value) override {
        if (value.vt != VT_I4) return E_INVALIDARG;
        appendRecord(L"annotate\t" + element(window, object, child, property) + L"\ti4:" +
                     std::to_wstring(value.lVal));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ClearHwndProps(HWND window, DWORD object, DWORD child,
                                             const MSAAPROPID* properties, int count) override {
        for (int i = 0; i < count; ++i)
            appendRecord(L"clear\t" + element(window, object, child, properties[i]));
        return S_OK;
    }

    // Not asked for by the program.
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
};

Recorder recorder;

}  // namespace

extern "C" HRESULT WINAPI DllGetClassObject(REFCLSID type, REFIID iid, void** out) {
    if (type != kAccPropServicesClass) {
        *out = nullptr;
        return CLASS_E_CLASSNOTAVAILABLE;
    }
    return recorder.QueryInterface(iid, out);
}

extern "C" HRESULT WINAPI DllCanUnloadNow() { return S_FALSE; }
