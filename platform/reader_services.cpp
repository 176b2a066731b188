#include "platform/reader_services.h"

#include "platform/system_paths.h"

namespace platform {
namespace {

// As oleacc.h and UIAutomationCoreApi.h declare them.
constexpr CLSID kAccPropServicesClass = {
    0xb5f8350b, 0x0548, 0x48b1, {0xa6, 0xee, 0x88, 0xbd, 0x00, 0xb4, 0xa5, 0xe7}};
constexpr IID kAccPropServicesInterface = {
    0x6e26e776, 0x04f0, 0x495d, {0x80, 0xe4, 0x33, 0x30, 0x35, 0x2e, 0x31, 0x69}};
constexpr GUID kLiveSettingProperty = {
    0xc12bcd8e, 0x2a8e, 0x4950, {0x8a, 0xe7, 0x36, 0x25, 0x11, 0x1d, 0x58, 0xeb}};
constexpr LONG kPolite = 1;                   // LiveSetting
constexpr DWORD kLiveRegionChanged = 0x8019;  // EVENT_OBJECT_LIVEREGIONCHANGED

}  // namespace

ReaderServices::~ReaderServices() {
    annotations_.reset();
    if (comStarted_) {
        using CoUninitializeFn = void(WINAPI*)();
        if (const auto stop = bindExport<CoUninitializeFn>(ole32_.get(), "CoUninitialize")) stop();
    }
}

bool ReaderServices::comReady() {
    if (comTried_) return comUsable_;
    comTried_ = true;
    ole32_ = loadSystemLibrary(L"ole32.dll");
    using CoInitializeExFn = HRESULT(WINAPI*)(void*, DWORD);
    const auto start = bindExport<CoInitializeExFn>(ole32_.get(), "CoInitializeEx");
    coCreateInstance_ = bindExport<CoCreateInstanceFn>(ole32_.get(), "CoCreateInstance");
    if (!start || !coCreateInstance_) return false;
    // A window's thread is a single-threaded apartment: readers' calls come
    // in through its messages.
    const HRESULT result = start(nullptr, COINIT_APARTMENTTHREADED);
    comStarted_ = SUCCEEDED(result);
    comUsable_ = comStarted_ || result == RPC_E_CHANGED_MODE;
    return comUsable_;
}

bool ReaderServices::oleaccReady() {
    if (!oleaccTried_) {
        oleaccTried_ = true;
        oleacc_ = loadSystemLibrary(L"oleacc.dll");
        oleaut32_ = loadSystemLibrary(L"oleaut32.dll");
        createStdAccessibleObject_ =
            bindExport<CreateStdAccessibleObjectFn>(oleacc_.get(), "CreateStdAccessibleObject");
        lresultFromObject_ = bindExport<LresultFromObjectFn>(oleacc_.get(), "LresultFromObject");
        sysAllocString_ = bindExport<SysAllocStringFn>(oleaut32_.get(), "SysAllocString");
    }
    return createStdAccessibleObject_ && lresultFromObject_ && sysAllocString_;
}

LRESULT ReaderServices::namedClient(HWND control, WPARAM wParam, LPARAM lParam,
                                    const wchar_t* name) {
    // 64-bit Windows may sign-extend the object id: compared as a DWORD.
    if (static_cast<DWORD>(lParam) != static_cast<DWORD>(OBJID_CLIENT)) return 0;
    if (!comReady() || !oleaccReady()) return 0;
    win32::ComRef<IAccessible> standard;
    if (FAILED(createStdAccessibleObject_(control, OBJID_CLIENT, __uuidof(IAccessible),
                                          standard.put()))) {
        return 0;
    }
    IAccessible* const named = namedAccessible(standard.get(), name, sysAllocString_);
    if (!named) return 0;
    // The answer holds its own reference to the object.
    const LRESULT answer = lresultFromObject_(__uuidof(IAccessible), wParam, named);
    named->Release();
    return answer > 0 ? answer : 0;
}

IAccPropServices* ReaderServices::annotations() {
    if (!annotations_ && comReady()) {
        coCreateInstance_(kAccPropServicesClass, nullptr, CLSCTX_INPROC_SERVER,
                          kAccPropServicesInterface, annotations_.put());
    }
    return annotations_.get();
}

void ReaderServices::announcePanel(HWND bar, int panel) {
    if (!liveMarked_) {
        liveMarked_ = true;
        if (IAccPropServices* const services = annotations()) {
            VARIANT polite{};
            polite.vt = VT_I4;
            polite.lVal = kPolite;
            services->SetHwndProp(bar, static_cast<DWORD>(OBJID_CLIENT), static_cast<DWORD>(panel),
                                  kLiveSettingProperty, polite);
        }
    }
    ::NotifyWinEvent(kLiveRegionChanged, bar, OBJID_CLIENT, panel);
}

void ReaderServices::forgetPanel(HWND bar, int panel) {
    if (!annotations_) return;
    annotations_->ClearHwndProps(bar, static_cast<DWORD>(OBJID_CLIENT), static_cast<DWORD>(panel),
                                 &kLiveSettingProperty, 1);
}

}  // namespace platform
