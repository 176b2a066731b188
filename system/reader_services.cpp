#include "system/reader_services.h"

#include "system/system_paths.h"
#include "win32/bind_export.h"

namespace platform {
namespace {

// As oleacc.h and UIAutomationCoreApi.h declare them.
constexpr CLSID kAccPropServicesClass = {
    0xb5f8350b, 0x0548, 0x48b1, {0xa6, 0xee, 0x88, 0xbd, 0x00, 0xb4, 0xa5, 0xe7}};
constexpr IID kAccPropServicesInterface = {
    0x6e26e776, 0x04f0, 0x495d, {0x80, 0xe4, 0x33, 0x30, 0x35, 0x2e, 0x31, 0x69}};
// PROPID_ACC_NAME, Name_Property_GUID and LiveSetting_Property_GUID.
constexpr GUID kAccNameProperty = {
    0x608d3df8, 0x8128, 0x4aa7, {0xa4, 0x28, 0xf5, 0x5e, 0x49, 0x26, 0x72, 0x91}};
constexpr GUID kUiaNameProperty = {
    0xc3a6921b, 0x4a99, 0x44f1, {0xbc, 0xa6, 0x61, 0x18, 0x70, 0x52, 0xc4, 0x31}};
constexpr GUID kLiveSettingProperty = {
    0xc12bcd8e, 0x2a8e, 0x4950, {0x8a, 0xe7, 0x36, 0x25, 0x11, 0x1d, 0x58, 0xeb}};
constexpr LONG kPolite = 1;                   // LiveSetting
constexpr DWORD kLiveRegionChanged = 0x8019;  // EVENT_OBJECT_LIVEREGIONCHANGED

constexpr DWORD kClient = static_cast<DWORD>(OBJID_CLIENT);

}  // namespace

ReaderServices::~ReaderServices() {
    annotations_.reset();
    if (comStarted_) {
        using CoUninitializeFn = void(WINAPI*)();
        if (const auto stop = win32::bindExport<CoUninitializeFn>(ole32_, "CoUninitialize")) stop();
    }
}

bool ReaderServices::comReady() {
    if (comTried_) return comUsable_;
    // COM's DLLs stay until the process ends: what COM started may still run
    // their code after it stops on this thread. The annotation service's own
    // (oleacc) and the one it marshals values with (oleaut32) are taken from
    // the system directory first, so that COM finds them loaded.
    ole32_ = keepSystemLibrary(L"ole32.dll");
    keepSystemLibrary(L"oleaut32.dll");
    keepSystemLibrary(L"oleacc.dll");
    comTried_ = true;  // not before: a failed allocation above is tried again
    using CoInitializeExFn = HRESULT(WINAPI*)(void*, DWORD);
    const auto start = win32::bindExport<CoInitializeExFn>(ole32_, "CoInitializeEx");
    coCreateInstance_ = win32::bindExport<CoCreateInstanceFn>(ole32_, "CoCreateInstance");
    if (!start || !coCreateInstance_) return false;
    // A window's thread is a single-threaded apartment: readers' calls come
    // in through its messages. OLE 1.0's DDE is of no use here.
    const HRESULT result = start(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    comStarted_ = SUCCEEDED(result);
    comUsable_ = comStarted_ || result == RPC_E_CHANGED_MODE;
    return comUsable_;
}

IAccPropServices* ReaderServices::annotations() {
    if (!annotations_ && comReady()) {
        coCreateInstance_(kAccPropServicesClass, nullptr, CLSCTX_INPROC_SERVER,
                          kAccPropServicesInterface, annotations_.put());
    }
    return annotations_.get();
}

// Active Accessibility reads the first; UI Automation takes a property of
// its own given by its id in place of the other's.
bool ReaderServices::name(HWND control, const wchar_t* text) {
    IAccPropServices* const services = annotations();
    if (!services) return false;
    bool named = false;
    for (const GUID& property : {kAccNameProperty, kUiaNameProperty}) {
        if (SUCCEEDED(services->SetHwndPropStr(control, kClient, CHILDID_SELF, property, text))) {
            named = true;
            remember({control, CHILDID_SELF, property});
        }
    }
    return named;
}

void ReaderServices::nameChanged(HWND control) {
    ::NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, control, OBJID_CLIENT, CHILDID_SELF);
}

void ReaderServices::remember(const Annotated& annotated) {
    for (const Annotated& a : annotated_) {
        if (a.window == annotated.window && a.child == annotated.child &&
            IsEqualGUID(a.property, annotated.property))
            return;
    }
    annotated_.push_back(annotated);
}

// A status bar's own object has no name; each panel is a child whose name is
// its text. The live region is therefore the panel: the setting and the
// change both name its child id, and readers speak its new name.
void ReaderServices::announcePanel(HWND bar, int panel) {
    const auto child = static_cast<DWORD>(panel);
    // Marked once it took; a failure is tried again with the next result.
    if (!liveMarked_) {
        if (IAccPropServices* const services = annotations()) {
            VARIANT polite{};
            polite.vt = VT_I4;
            polite.lVal = kPolite;
            if (SUCCEEDED(
                    services->SetHwndProp(bar, kClient, child, kLiveSettingProperty, polite))) {
                remember({bar, child, kLiveSettingProperty});
                liveMarked_ = true;
            }
        }
    }
    ::NotifyWinEvent(kLiveRegionChanged, bar, OBJID_CLIENT, static_cast<LONG>(child));
}

void ReaderServices::forgetAll() {
    for (const Annotated& a : annotated_)
        annotations_->ClearHwndProps(a.window, kClient, a.child, &a.property, 1);
    annotated_.clear();
}

}  // namespace platform
