#include <windows.h>

#include <string_view>

#include "skin/debug_log.h"
#include "skin/skin_reader.h"
#include "win32/handles.h"

namespace skin {
namespace {

// A block of the process heap, as a typed array; empty when allocation fails.
// The library allocates nothing through the C++ run-time.
template <typename T>
class HeapArray {
  public:
    explicit HeapArray(std::size_t count)
        : memory_(count ? ::HeapAlloc(::GetProcessHeap(), 0, count * sizeof(T)) : nullptr),
          count_(memory_ ? count : 0) {}
    T* data() const { return static_cast<T*>(memory_.get()); }
    std::size_t size() const { return count_; }

  private:
    win32::UniqueHeapBlock memory_;
    std::size_t count_;
};

// The path as given, in the ANSI code page; empty on failure.
HeapArray<wchar_t> toWide(const char* ansi) {
    const int length = ::MultiByteToWideChar(CP_ACP, 0, ansi, -1, nullptr, 0);
    if (length <= 1) return HeapArray<wchar_t>(0);
    HeapArray<wchar_t> wide(static_cast<std::size_t>(length));
    if (!wide.size() || ::MultiByteToWideChar(CP_ACP, 0, ansi, -1, wide.data(), length) != length) {
        return HeapArray<wchar_t>(0);
    }
    return wide;
}

// Reads at most one byte past the size cap: enough to see that a file is too
// big without reading a huge one. Only regular files: a pipe or a device
// could block the program's start forever.
std::optional<std::string_view> readCapped(const wchar_t* path, const HeapArray<char>& into) {
    const win32::UniqueHandle file = win32::ownFileHandle(
        ::CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file || ::GetFileType(file.get()) != FILE_TYPE_DISK || !into.size()) return std::nullopt;
    std::size_t total = 0;
    while (total < into.size()) {
        DWORD got = 0;
        if (!::ReadFile(file.get(), into.data() + total, static_cast<DWORD>(into.size() - total),
                        &got, nullptr)) {
            return std::nullopt;
        }
        if (got == 0) break;
        total += got;
    }
    return std::string_view(into.data(), total);
}

}  // namespace

std::optional<Skin> readSkinFile(const char* ansiPath) {
    const HeapArray<wchar_t> path = toWide(ansiPath);
    const HeapArray<char> bytes(kMaxFileBytes + 1);
    const std::optional<std::string_view> text =
        path.size() ? readCapped(path.data(), bytes) : std::nullopt;
    if (!text) {
        debugLog("cannot read the skin file; the look is unchanged");
        return std::nullopt;
    }
    const ParseResult parsed = parse(*text);
    for (const Diagnostic& d : parsed.lines) debugLog(describe(d.problem), d.line);
    if (parsed.lines.dropped()) debugLog("more lines had problems; fix these first");
    if (parsed.refused) {
        debugLog(describe(*parsed.refused));
        debugLog("skin refused; the look is unchanged");
        return std::nullopt;
    }
    return parsed.skin;
}

}  // namespace skin
