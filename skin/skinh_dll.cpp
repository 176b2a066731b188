// The skinning library: gives the calling thread's top-level windows, and
// those it creates later, the look that a skin file describes.
//
// Windows are subclassed with SetWindowLongPtrW, the previous procedure kept
// in a window property (which also marks a window as done, so nothing is
// subclassed twice); comctl32's SetWindowSubclass is avoided because
// importing comctl32 would make it loadable from the program's folder.
// Windows created later are caught by a per-thread WH_CBT hook.
//
// Built without exceptions and without the C++ library's run-time parts
// (no std::string, no operator new), which keeps the DLL a few kilobytes.
#include <windows.h>

#include <algorithm>
#include <array>
#include <optional>
#include <string_view>
#include <utility>

#include "skin/skin_file.h"
#include "skin/skin_paint.h"

namespace {

static_assert(skin::kCtlColorMsgBox == WM_CTLCOLORMSGBOX &&
              skin::kCtlColorEdit == WM_CTLCOLOREDIT &&
              skin::kCtlColorListBox == WM_CTLCOLORLISTBOX &&
              skin::kCtlColorBtn == WM_CTLCOLORBTN && skin::kCtlColorDlg == WM_CTLCOLORDLG &&
              skin::kCtlColorScrollBar == WM_CTLCOLORSCROLLBAR &&
              skin::kCtlColorStatic == WM_CTLCOLORSTATIC);

// What SkinH_AttachEx answers.
constexpr LONG kApplied = 1;
constexpr LONG kNotApplied = 0;

constexpr wchar_t kPreviousProc[] = L"ZelkSkin.PreviousProc";
constexpr wchar_t kUnthemed[] = L"ZelkSkin.Unthemed";
constexpr UINT kStatusSetBkColor = 0x2001;       // SB_SETBKCOLOR (CCM_SETBKCOLOR)
constexpr COLORREF kDefaultColour = 0xFF000000;  // CLR_DEFAULT
// Threads that may attach; the program has one.
constexpr std::size_t kMaxThreads = 16;

// Top-level helper windows of the system that are never the program's own look.
constexpr std::array<std::wstring_view, 9> kUnskinnedClasses{
    L"#32768",  // menus
    L"#32769", L"#32771",      L"#32772",           L"ComboLBox",
    L"IME",    L"MSCTFIME UI", L"tooltips_class32", L"SysShadow",
};

template <typename T, auto Release>
class Owned {
  public:
    Owned() = default;
    explicit Owned(T value) : value_(value) {}
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;
    Owned(Owned&& other) noexcept : value_(std::exchange(other.value_, nullptr)) {}
    Owned& operator=(Owned&& other) noexcept {
        if (this != &other) reset(std::exchange(other.value_, nullptr));
        return *this;
    }
    ~Owned() { reset(); }
    T get() const { return value_; }
    void reset(T value = nullptr) {
        if (value_) Release(value_);
        value_ = value;
    }

  private:
    T value_ = nullptr;
};

void deleteBrush(HBRUSH brush) { ::DeleteObject(brush); }
void unhook(HHOOK hook) { ::UnhookWindowsHookEx(hook); }
void closeFile(HANDLE file) { ::CloseHandle(file); }
void freeMemory(void* memory) { ::HeapFree(::GetProcessHeap(), 0, memory); }

using Brush = Owned<HBRUSH, deleteBrush>;
using Hook = Owned<HHOOK, unhook>;

class File {
  public:
    explicit File(HANDLE handle) : handle_(handle == INVALID_HANDLE_VALUE ? nullptr : handle) {}
    HANDLE get() const { return handle_.get(); }

  private:
    Owned<HANDLE, closeFile> handle_;
};

// A block of the process heap, as a typed array.
template <typename T>
class Buffer {
  public:
    explicit Buffer(std::size_t count)
        : memory_(count ? ::HeapAlloc(::GetProcessHeap(), 0, count * sizeof(T)) : nullptr),
          count_(memory_.get() ? count : 0) {}
    T* data() const { return static_cast<T*>(memory_.get()); }
    std::size_t size() const { return count_; }

  private:
    Owned<void*, freeMemory> memory_;
    std::size_t count_;
};

class Lock {
  public:
    explicit Lock(CRITICAL_SECTION& section) : section_(section) {
        ::EnterCriticalSection(&section_);
    }
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;
    ~Lock() { ::LeaveCriticalSection(&section_); }

  private:
    CRITICAL_SECTION& section_;
};

COLORREF toColorRef(skin::Colour c) { return RGB(c.red, c.green, c.blue); }

// The skin in force, with one brush per distinct background colour.
struct Look {
    skin::Skin skin;
    std::array<Brush, skin::kElementCount> owned;
    std::array<HBRUSH, skin::kElementCount> byElement{};

    explicit Look(const skin::Skin& s) : skin(s) {
        for (std::size_t e = 0; e < skin::kElementCount; ++e) {
            const auto background = skin::paintFor(skin, static_cast<skin::Element>(e)).background;
            if (!background) continue;
            for (std::size_t earlier = 0; earlier < e && !byElement[e]; ++earlier) {
                if (skin::paintFor(skin, static_cast<skin::Element>(earlier)).background ==
                    background) {
                    byElement[e] = byElement[earlier];
                }
            }
            if (!byElement[e]) {
                owned[e].reset(::CreateSolidBrush(toColorRef(*background)));
                byElement[e] = owned[e].get();
            }
        }
    }
};

// What one colour request is answered with, copied out of the lock.
struct Answer {
    HBRUSH brush = nullptr;
    COLORREF background = 0;
    std::optional<COLORREF> text;
};

struct ThreadHook {
    DWORD threadId = 0;
    Hook hook;
};

LRESULT CALLBACK skinnedProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK cbtProc(int code, WPARAM wParam, LPARAM lParam);

// The library's whole state: made when the DLL is loaded, released when it
// is unloaded. Window procedures read it under the lock and never allocate.
class State {
  public:
    State() { ::InitializeCriticalSection(&lock_); }
    State(const State&) = delete;
    State& operator=(const State&) = delete;
    ~State() { ::DeleteCriticalSection(&lock_); }

    LONG attach(const char* ansiPath);
    void release(bool processExit);

    Answer answer(skin::Element element) {
        Lock held(lock_);
        Answer a;
        if (!look_) return a;
        const skin::Paint paint = skin::paintFor(look_->skin, element);
        a.brush = look_->byElement[static_cast<std::size_t>(element)];
        if (paint.background) a.background = toColorRef(*paint.background);
        if (paint.text) a.text = toColorRef(*paint.text);
        return a;
    }

    std::optional<COLORREF> statusBackground() {
        Lock held(lock_);
        if (!look_ || !look_->skin.statusBackground) return std::nullopt;
        return toColorRef(*look_->skin.statusBackground);
    }

    bool installed() {
        Lock held(lock_);
        return look_.has_value();
    }

  private:
    bool hookThread(DWORD threadId);

    CRITICAL_SECTION lock_;
    std::optional<Look> look_;
    std::array<ThreadHook, kMaxThreads> hooks_;
};

// Made in DllMain's attach, ended in its detach, so that nothing of it is
// left to the run-time's exit handlers.
std::optional<State> g_state;

// One line of the debug log (DebugView, or WINEDEBUG=+debugstr under Wine).
void debugLog(std::string_view text, std::size_t line = 0) {
    std::array<char, 160> buffer{};
    std::size_t used = 0;
    const auto put = [&](std::string_view part) {
        for (char c : part) {
            if (used + 1 < buffer.size()) buffer[used++] = c;
        }
    };
    put("SkinH_VB6: ");
    if (line) {
        std::array<char, 24> digits{};
        std::size_t n = digits.size();
        for (std::size_t rest = line; rest && n; rest /= 10) {
            digits[--n] = static_cast<char>('0' + rest % 10);
        }
        put("line ");
        put(std::string_view(digits.data() + n, digits.size() - n));
        put(": ");
    }
    put(text);
    put("\n");
    ::OutputDebugStringA(buffer.data());
}

// The path as given, in the ANSI code page; empty on failure.
Buffer<wchar_t> toWide(const char* ansi) {
    const int length = ::MultiByteToWideChar(CP_ACP, 0, ansi, -1, nullptr, 0);
    if (length <= 1) return Buffer<wchar_t>(0);
    Buffer<wchar_t> wide(static_cast<std::size_t>(length));
    if (!wide.size() || ::MultiByteToWideChar(CP_ACP, 0, ansi, -1, wide.data(), length) != length) {
        return Buffer<wchar_t>(0);
    }
    return wide;
}

// Reads at most one byte past the size cap: enough to see that a file is too
// big without reading a huge one. Only regular files: a pipe or a device
// could block the program's start forever.
std::optional<std::string_view> readCapped(const wchar_t* path, const Buffer<char>& into) {
    const File file(::CreateFileW(path, GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.get() || ::GetFileType(file.get()) != FILE_TYPE_DISK || !into.size()) {
        return std::nullopt;
    }
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

bool hasClass(HWND window, std::wstring_view name) {
    std::array<wchar_t, 64> buffer{};
    const int length = ::GetClassNameW(window, buffer.data(), static_cast<int>(buffer.size()));
    if (length <= 0) return false;
    const std::wstring_view actual(buffer.data(), static_cast<std::size_t>(length));
    return ::CompareStringOrdinal(actual.data(), static_cast<int>(actual.size()), name.data(),
                                  static_cast<int>(name.size()), TRUE) == CSTR_EQUAL;
}

bool isSkinnable(HWND window, DWORD style, bool messageOnly) {
    if ((style & WS_CHILD) || messageOnly) return false;
    return std::none_of(kUnskinnedClasses.begin(), kUnskinnedClasses.end(),
                        [window](std::wstring_view name) { return hasClass(window, name); });
}

bool isSubclassed(HWND window) { return ::GetPropW(window, kPreviousProc) != nullptr; }

bool subclass(HWND window) {
    if (isSubclassed(window)) return false;
    const auto previous = ::GetWindowLongPtrW(window, GWLP_WNDPROC);
    if (!previous || !::SetPropW(window, kPreviousProc, reinterpret_cast<HANDLE>(previous))) {
        return false;
    }
    if (!::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(skinnedProc))) {
        ::RemovePropW(window, kPreviousProc);
        return false;
    }
    return true;
}

// Puts the previous procedure back, if nothing has subclassed the window
// over this library since.
void unsubclass(HWND window) {
    const auto previous = reinterpret_cast<LONG_PTR>(::GetPropW(window, kPreviousProc));
    if (!previous) return;
    if (::GetWindowLongPtrW(window, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(skinnedProc)) {
        ::SetWindowLongPtrW(window, GWLP_WNDPROC, previous);
    }
    ::RemovePropW(window, kPreviousProc);
}

// A themed status bar draws the theme and ignores its background colour; it
// is drawn the classic way while the skin colours it. uxtheme is only used
// when something in the process has loaded it already: if nothing has, no
// control is themed, and loading it here would be a DLL-planting path.
void setStatusTheme(HWND bar, bool themed) {
    using SetWindowThemeFn = HRESULT(WINAPI*)(HWND, const wchar_t*, const wchar_t*);
    using GetWindowThemeFn = HANDLE(WINAPI*)(HWND);
    const HMODULE uxtheme = ::GetModuleHandleW(L"uxtheme.dll");
    if (!uxtheme) return;
    const auto setTheme = reinterpret_cast<SetWindowThemeFn>(
        reinterpret_cast<void*>(::GetProcAddress(uxtheme, "SetWindowTheme")));
    const auto getTheme = reinterpret_cast<GetWindowThemeFn>(
        reinterpret_cast<void*>(::GetProcAddress(uxtheme, "GetWindowTheme")));
    if (!setTheme || !getTheme) return;
    if (themed) {
        // Give back only a theme that the skin took away.
        if (!::RemovePropW(bar, kUnthemed)) return;
        setTheme(bar, nullptr, nullptr);
    } else {
        // A bar that draws no theme (one of the program's own) needs nothing.
        if (!getTheme(bar)) return;
        // A class list naming no theme class; Wine treats an empty one as absent.
        setTheme(bar, L" ", L" ");
        ::SetPropW(bar, kUnthemed, reinterpret_cast<HANDLE>(1));
    }
    // Wine's SetWindowTheme does not tell the control; Windows' does, and a
    // second notice only makes it look its theme up again.
    ::SendMessageW(bar, WM_THEMECHANGED, 0, 0);
}

void setStatusBackground(HWND bar, std::optional<COLORREF> colour) {
    setStatusTheme(bar, !colour);
    ::SendMessageW(bar, kStatusSetBkColor, 0, static_cast<LPARAM>(colour.value_or(kDefaultColour)));
}

BOOL CALLBACK colourStatusBar(HWND child, LPARAM colour) {
    if (hasClass(child, L"msctls_statusbar32")) {
        setStatusBackground(child, *reinterpret_cast<const std::optional<COLORREF>*>(colour));
    }
    return TRUE;
}

// Applies the skin's parts that are set rather than asked for, and repaints.
void refresh(HWND window) {
    const std::optional<COLORREF> status = g_state->statusBackground();
    ::EnumChildWindows(window, colourStatusBar, reinterpret_cast<LPARAM>(&status));
    ::RedrawWindow(window, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

bool ownedByProcess(HWND window, DWORD processId) {
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    return owner == processId;
}

// The thread's windows that were there before the skin was attached.
BOOL CALLBACK skinExisting(HWND window, LPARAM) {
    const auto style = static_cast<DWORD>(::GetWindowLongW(window, GWL_STYLE));
    const bool messageOnly = ::GetAncestor(window, GA_PARENT) != ::GetDesktopWindow();
    if (isSkinnable(window, style, messageOnly) && subclass(window)) refresh(window);
    return TRUE;
}

BOOL CALLBACK refreshSkinned(HWND window, LPARAM processId) {
    if (ownedByProcess(window, static_cast<DWORD>(processId)) && isSubclassed(window)) {
        refresh(window);
    }
    return TRUE;
}

BOOL CALLBACK unskin(HWND window, LPARAM processId) {
    if (ownedByProcess(window, static_cast<DWORD>(processId))) unsubclass(window);
    return TRUE;
}

LRESULT colourRequest(HWND window, UINT message, WPARAM wParam, LPARAM lParam, WNDPROC previous) {
    const auto control = reinterpret_cast<HWND>(lParam);
    std::array<wchar_t, 64> className{};
    const int length =
        control ? ::GetClassNameW(control, className.data(), static_cast<int>(className.size()))
                : 0;
    const auto style =
        control ? static_cast<std::uint32_t>(::GetWindowLongW(control, GWL_STYLE)) : 0u;
    const std::optional<skin::Element> element = skin::elementFor(
        message, std::wstring_view(className.data(), static_cast<std::size_t>(std::max(length, 0))),
        style);
    const Answer a = element ? g_state->answer(*element) : Answer{};
    // The window's own answer comes first, so that the DC is set up as it
    // wants for whatever the skin leaves alone.
    const LRESULT own = ::CallWindowProcW(previous, window, message, wParam, lParam);
    const auto dc = reinterpret_cast<HDC>(wParam);
    if (a.text) ::SetTextColor(dc, *a.text);
    if (!a.brush) return own;
    ::SetBkColor(dc, a.background);
    return reinterpret_cast<LRESULT>(a.brush);
}

LRESULT CALLBACK skinnedProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto previous = reinterpret_cast<WNDPROC>(::GetPropW(window, kPreviousProc));
    if (!previous) return ::DefWindowProcW(window, message, wParam, lParam);
    switch (message) {
        case WM_CTLCOLORMSGBOX:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSTATIC:
            return colourRequest(window, message, wParam, lParam, previous);
        case WM_ERASEBKGND: {
            const Answer a = g_state->answer(skin::Element::Window);
            if (!a.brush) break;
            RECT client{};
            ::GetClientRect(window, &client);
            ::FillRect(reinterpret_cast<HDC>(wParam), &client, a.brush);
            return 1;
        }
        case WM_PARENTNOTIFY:
            // A status bar made after the skin was attached.
            if (LOWORD(wParam) == WM_CREATE &&
                hasClass(reinterpret_cast<HWND>(lParam), L"msctls_statusbar32")) {
                if (const auto status = g_state->statusBackground()) {
                    setStatusBackground(reinterpret_cast<HWND>(lParam), status);
                }
            }
            break;
        case WM_NCDESTROY:
            unsubclass(window);
            break;
        default:
            break;
    }
    return ::CallWindowProcW(previous, window, message, wParam, lParam);
}

// Subclasses top-level windows as they are made, before their first message.
LRESULT CALLBACK cbtProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND && g_state && g_state->installed()) {
        const auto window = reinterpret_cast<HWND>(wParam);
        const CREATESTRUCTW* create = reinterpret_cast<CBT_CREATEWNDW*>(lParam)->lpcs;
        if (create && isSkinnable(window, static_cast<DWORD>(create->style),
                                  create->hwndParent == HWND_MESSAGE)) {
            subclass(window);
        }
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

bool State::hookThread(DWORD threadId) {
    for (const ThreadHook& h : hooks_) {
        if (h.hook.get() && h.threadId == threadId) return true;
    }
    const auto slot = std::find_if(hooks_.begin(), hooks_.end(),
                                   [](const ThreadHook& h) { return !h.hook.get(); });
    if (slot == hooks_.end()) return false;
    HHOOK hook = ::SetWindowsHookExW(WH_CBT, cbtProc, nullptr, threadId);
    if (!hook) return false;
    slot->threadId = threadId;
    slot->hook.reset(hook);
    return true;
}

LONG State::attach(const char* ansiPath) {
    const Buffer<wchar_t> path = toWide(ansiPath);
    const Buffer<char> bytes(skin::kMaxFileBytes + 1);
    const std::optional<std::string_view> text =
        path.size() ? readCapped(path.data(), bytes) : std::nullopt;
    if (!text) {
        debugLog("cannot read the skin file; the look is unchanged");
        return kNotApplied;
    }
    const skin::ParseResult parsed = skin::parse(*text);
    for (const skin::Diagnostic& d : parsed.lines) debugLog(skin::describe(d.problem), d.line);
    if (parsed.lines.dropped()) debugLog("more lines had problems; fix these first");
    if (parsed.refused) {
        debugLog(skin::describe(*parsed.refused));
        debugLog("skin refused; the look is unchanged");
        return kNotApplied;
    }

    bool changed = false;
    {
        Lock held(lock_);
        if (!look_ || look_->skin != parsed.skin) {
            // The old brushes are deleted here; windows repaint with the new
            // ones once refreshed below.
            look_.emplace(parsed.skin);
            changed = true;
        }
        if (!hookThread(::GetCurrentThreadId())) {
            debugLog("cannot watch this thread for new windows");
        }
    }

    // Outside the lock: refreshing sends messages, which may reach windows of
    // other threads that take the lock to answer them.
    ::EnumThreadWindows(::GetCurrentThreadId(), skinExisting, 0);
    // Windows of every thread already wearing an earlier skin take the new one.
    if (changed) ::EnumWindows(refreshSkinned, static_cast<LPARAM>(::GetCurrentProcessId()));
    return kApplied;
}

void State::release(bool processExit) {
    {
        Lock held(lock_);
        for (ThreadHook& h : hooks_) h.hook.reset();
    }
    // At process exit the windows go with it; on an unload they must not keep
    // calling into a library that is gone.
    if (!processExit) ::EnumWindows(unskin, static_cast<LPARAM>(::GetCurrentProcessId()));
    Lock held(lock_);
    look_.reset();
}

}  // namespace

// 1 = the skin was applied (lines it could not use were skipped);
// 0 = nothing changed: no path, or the file is missing, unreadable or refused.
extern "C" LONG WINAPI SkinH_AttachEx(const char* skinPath, const char* password) {
    // Our skins are plain text: there is nothing to decrypt, so the password
    // is never read.
    (void)password;
    if (!skinPath || !g_state) return kNotApplied;
    return g_state->attach(skinPath);
}

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        ::DisableThreadLibraryCalls(module);
        g_state.emplace();
    } else if (reason == DLL_PROCESS_DETACH && g_state) {
        g_state->release(reserved != nullptr);
        g_state.reset();
    }
    return TRUE;
}
