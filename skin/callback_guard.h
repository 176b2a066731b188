// The boundary of every Win32 callback of the library (window procedures,
// hooks, enumeration callbacks): a C++ exception must never unwind through
// the system's frames. Anything thrown is reported and the callback gives
// the answer that lets the system carry on, so the library keeps running.
// Portable, so that it is tested natively. The DLL is built without
// exceptions, where nothing can be thrown and this is a plain call; the rule
// stays in one place should that ever change.
#pragma once

namespace skin {

using BoundaryReport = void (*)(const char* what) noexcept;

template <typename Body, typename Fallback>
auto atCallbackBoundary(const char* what, BoundaryReport report, Body&& body,
                        Fallback&& fallback) noexcept -> decltype(body()) {
#if defined(__cpp_exceptions)
    try {
        return body();
    } catch (...) {
        report(what);
    }
    return fallback();
#else
    (void)what;
    (void)report;
    (void)fallback;
    return body();
#endif
}

}  // namespace skin
