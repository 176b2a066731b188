#include "tests/e2e/import_stall.h"

#include <cstring>

namespace e2e {

void* replaceImport(HMODULE module, const char* dll, const char* function, void* replacement) {
    auto* const base = reinterpret_cast<BYTE*>(module);
    const auto* const dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* const nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY imports =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (!imports.VirtualAddress) return nullptr;
    for (auto* d = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         d->Name; ++d) {
        if (lstrcmpiA(reinterpret_cast<const char*>(base + d->Name), dll) != 0) continue;
        const DWORD namesAt = d->OriginalFirstThunk ? d->OriginalFirstThunk : d->FirstThunk;
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + namesAt);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            const auto* byName =
                reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<const char*>(byName->Name), function) != 0) continue;
            DWORD was = 0;
            if (!VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE,
                                &was)) {
                return nullptr;
            }
            void* const previous = reinterpret_cast<void*>(slots->u1.Function);
            slots->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
            VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, was, &was);
            return previous;
        }
    }
    return nullptr;
}

Stall::Stall()
    : stopped_(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      release_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

Stall::~Stall() {
    CloseHandle(stopped_);
    CloseHandle(release_);
}

void Stall::arm(DWORD thread, bool pump) {
    pump_ = pump;
    thread_ = thread;
}

bool Stall::waitStopped(DWORD timeoutMs) const {
    return WaitForSingleObject(stopped_, timeoutMs) == WAIT_OBJECT_0;
}

void Stall::atCall(void* detail) {
    DWORD expected = GetCurrentThreadId();
    if (!thread_.compare_exchange_strong(expected, 0)) return;
    detail_ = detail;
    SetEvent(stopped_);
    if (pump_) {
        pumpUntilReleased();
    } else {
        timedOut_ = WaitForSingleObject(release_, kLimitMs) != WAIT_OBJECT_0;
    }
    over_ = true;
}

void Stall::pumpUntilReleased() {
    const ULONGLONG deadline = GetTickCount64() + kLimitMs;
    for (;;) {
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline) {
            timedOut_ = true;
            return;
        }
        const DWORD woke = MsgWaitForMultipleObjects(
            1, &release_, FALSE, static_cast<DWORD>(deadline - now), QS_ALLINPUT);
        if (woke == WAIT_OBJECT_0) return;
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (!msg.hwnd && msg.message == WM_APP) {
                drained_ = true;
            } else {
                DispatchMessageW(&msg);
            }
        }
    }
}

}  // namespace e2e
