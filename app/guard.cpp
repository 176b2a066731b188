#include "app/guard.h"

#include <string>

#include "app/texts.h"

namespace app {
namespace {

// The exception's text is ASCII in practice; a wider byte becomes '?'.
std::wstring widen(const char* text) {
    std::wstring wide;
    for (const char* c = text; c && *c; ++c)
        wide.push_back(static_cast<unsigned char>(*c) < 0x80 ? static_cast<wchar_t>(*c) : L'?');
    return wide;
}

}  // namespace

void reportFailure(Host& host, const std::exception_ptr& failure) noexcept {
    try {
        try {
            std::rethrow_exception(failure);
        } catch (const HostError& error) {
            host.reportError(error);
        } catch (const WindowClosed&) {
            // The window was unloaded during a wait: the handler just ends.
        } catch (const std::exception& error) {
            host.reportError(HostError(texts::kUnexpectedFailure, widen(error.what())));
        } catch (...) {
            host.reportError(HostError(texts::kUnexpectedFailure, texts::kUnknownReason));
        }
    } catch (...) {
        // Reporting failed too; the program still keeps running.
    }
}

}  // namespace app
