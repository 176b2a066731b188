// The skinning library inside a process of the test's own: attaching again,
// a second skin file while another thread is painting, threads that come and
// go, an unload while windows wear the skin, and the library's lock: never
// held while a button is drawn, never waited for by a thread that ends.
#include <windows.h>

#include <atomic>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <thread>

#include "tests/e2e/harness.h"
#include "tests/e2e/import_stall.h"

namespace {

using AttachFn = LONG(WINAPI*)(const char*, const char*);

constexpr wchar_t kWindowClass[] = L"SkinLibraryTest.Window";
constexpr COLORREF kFirstList = RGB(0x10, 0x20, 0x30);
constexpr COLORREF kSecondList = RGB(0x40, 0x50, 0x60);
constexpr COLORREF kFirstFace = RGB(0xA0, 0x10, 0x10);
constexpr COLORREF kSecondFace = RGB(0x10, 0xA0, 0x10);

// A skin file whose list background is `colour` ("#RRGGBB"), followed by
// `more` lines; its path in the ANSI code page, as the library takes it.
std::string writeSkin(const e2e::TempDir& dir, const wchar_t* name, const char* colour,
                      const char* more = "") {
    const std::wstring path = dir.file(name);
    const std::string text =
        std::string("[window]\nbackground = #DDE8F3\n[list]\nbackground = ") + colour + "\n" + more;
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    if (file != INVALID_HANDLE_VALUE) {
        WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        CloseHandle(file);
    }
    std::string ansi(MAX_PATH * 2, '\0');
    const int length = WideCharToMultiByte(CP_ACP, 0, path.c_str(), -1, ansi.data(),
                                           static_cast<int>(ansi.size()), nullptr, nullptr);
    ansi.resize(length > 0 ? static_cast<size_t>(length - 1) : 0);
    return ansi;
}

// A top-level window of the test's own with a list box and a push button in
// it, made on the calling thread and destroyed with the object.
class TestWindow {
  public:
    TestWindow() {
        static const ATOM registered = [] {
            WNDCLASSW wc{};
            wc.lpfnWndProc = DefWindowProcW;
            wc.hInstance = GetModuleHandleW(nullptr);
            wc.lpszClassName = kWindowClass;
            return RegisterClassW(&wc);
        }();
        (void)registered;
        top_ = CreateWindowExW(0, kWindowClass, L"skin library test", WS_OVERLAPPEDWINDOW, 0, 0,
                               200, 150, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        list_ = CreateWindowExW(0, L"ListBox", nullptr, WS_CHILD | WS_VISIBLE, 5, 5, 100, 80, top_,
                                nullptr, GetModuleHandleW(nullptr), nullptr);
        button_ = CreateWindowExW(0, L"Button", L"OK", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 110,
                                  5, 80, 30, top_, nullptr, GetModuleHandleW(nullptr), nullptr);
    }
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;
    ~TestWindow() { DestroyWindow(top_); }
    HWND top() const { return top_; }
    HWND button() const { return button_; }

    // The brush the window answers its list box with, asked as the list box
    // asks while it paints. Sent: from another thread it runs on the window's.
    HBRUSH listBrush() const {
        const HDC dc = GetDC(list_);
        const auto brush = reinterpret_cast<HBRUSH>(SendMessageW(top_, WM_CTLCOLORLISTBOX,
                                                                 reinterpret_cast<WPARAM>(dc),
                                                                 reinterpret_cast<LPARAM>(list_)));
        ReleaseDC(list_, dc);
        return brush;
    }
    // Whether the library's procedure is the window's.
    bool skinnedBy(HMODULE library) const {
        HMODULE owner = nullptr;
        GetModuleHandleExW(
            GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
            reinterpret_cast<LPCWSTR>(GetWindowLongPtrW(top_, GWLP_WNDPROC)), &owner);
        return owner == library;
    }

  private:
    HWND top_ = nullptr;
    HWND list_ = nullptr;
    HWND button_ = nullptr;
};

COLORREF brushColour(HBRUSH brush) {
    LOGBRUSH info{};
    if (GetObjectW(brush, sizeof info, &info) != sizeof info) return CLR_INVALID;
    return info.lbColor;
}

bool alive(HBRUSH brush) { return GetObjectType(brush) == OBJ_BRUSH; }

// The button's face colour as the library draws it, asked on the calling
// thread (the button's own) with WM_PRINTCLIENT: a pixel inside every frame.
COLORREF printedFace(HWND button) {
    RECT area{};
    GetClientRect(button, &area);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = area.right;
    info.bmiHeader.biHeight = -area.bottom;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    const HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    const HDC dc = CreateCompatibleDC(nullptr);
    const HGDIOBJ old = SelectObject(dc, bitmap);
    SendMessageW(button, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    const COLORREF face = GetPixel(dc, 2, 2);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(bitmap);
    return face;
}

// Stand-ins for the library's imports: each stops where the test armed the
// stall, then calls the system's function.
e2e::Stall* g_stall = nullptr;
void* g_real = nullptr;
void* g_realUnhook = nullptr;
std::atomic<DWORD> g_endingThread{0};
std::atomic<bool> g_unhookedByEnding{false};

int WINAPI stallingFillRect(HDC dc, const RECT* area, HBRUSH brush) {
    g_stall->atCall(brush);
    return reinterpret_cast<decltype(&FillRect)>(g_real)(dc, area, brush);
}

BOOL WINAPI stallingPostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    g_stall->atCall(window);
    return reinterpret_cast<decltype(&PostMessageW)>(g_real)(window, message, wParam, lParam);
}

BOOL WINAPI recordingUnhook(HHOOK hook) {
    if (GetCurrentThreadId() == g_endingThread) g_unhookedByEnding = true;
    return reinterpret_cast<decltype(&UnhookWindowsHookEx)>(g_realUnhook)(hook);
}

// The system's answer to the library, with high contrast on or off as the
// test sets it; Wine can set no high contrast of its own.
std::atomic<bool> g_highContrast{false};
BOOL WINAPI contrastSystemParameters(UINT action, UINT param, void* value, UINT flags) {
    if (action == SPI_GETHIGHCONTRAST && value) {
        auto& settings = *static_cast<HIGHCONTRASTW*>(value);
        settings.dwFlags = g_highContrast ? HCF_HIGHCONTRASTON : 0;
        return TRUE;
    }
    return reinterpret_cast<decltype(&SystemParametersInfoW)>(g_real)(action, param, value, flags);
}

// Whether the system still tracks the mouse's leave of `button`.
bool leaveTracked(HWND button) {
    TRACKMOUSEEVENT query{sizeof query, TME_QUERY, nullptr, 0};
    return TrackMouseEvent(&query) && query.hwndTrack == button && (query.dwFlags & TME_LEAVE);
}

// Handles what the calling thread's windows were sent, then asks.
bool afterMessages(const std::function<bool()>& condition) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    return condition();
}

// A thread that attaches, then ends when told.
struct AttachThenEnd {
    AttachFn attach;
    const char* skin;
    HANDLE endNow;
    LONG attached = -1;

    static DWORD WINAPI run(void* context) {
        auto& self = *static_cast<AttachThenEnd*>(context);
        self.attached = self.attach(self.skin, "");
        WaitForSingleObject(self.endNow, 15000);
        return 0;
    }
};

// A thread of its own that attaches, makes a skinned window, takes the list
// brush and then stops in the middle of painting with it until released,
// without pumping messages, as a slow paint would. After that it pumps
// messages like any window thread until stopped.
class PaintingThread {
  public:
    PaintingThread(AttachFn attach, const std::string& skin)
        : holding_(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
          release_(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
          thread_([this, attach, skin] { run(attach, skin); }) {
        WaitForSingleObject(holding_, 15000);
    }
    PaintingThread(const PaintingThread&) = delete;
    PaintingThread& operator=(const PaintingThread&) = delete;
    ~PaintingThread() {
        SetEvent(release_);
        PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
        thread_.join();
        CloseHandle(holding_);
        CloseHandle(release_);
    }

    HBRUSH held() const { return held_; }
    const TestWindow* window() const { return window_; }
    // Finishes the paint with the brush it holds; true when the brush was
    // still a brush and filling with it worked.
    bool finishPaint() {
        SetEvent(release_);
        return e2e::waitUntil([this] { return painted_ >= 0; }) && painted_ == 1;
    }

  private:
    void run(AttachFn attach, const std::string& skin) {
        threadId_ = GetCurrentThreadId();
        MSG msg;
        PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);  // a queue for WM_QUIT
        TestWindow window;
        attach(skin.c_str(), "");
        held_ = window.listBrush();
        window_ = &window;
        SetEvent(holding_);
        WaitForSingleObject(release_, 15000);
        const HDC dc = CreateCompatibleDC(nullptr);
        RECT r{0, 0, 8, 8};
        painted_ = alive(held_) && FillRect(dc, &r, held_) ? 1 : 0;
        DeleteDC(dc);
        while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
        window_ = nullptr;
    }

    HANDLE holding_;
    HANDLE release_;
    volatile DWORD threadId_ = 0;
    HBRUSH held_ = nullptr;
    const TestWindow* volatile window_ = nullptr;
    volatile int painted_ = -1;
    std::thread thread_;
};

// The real library, loaded into the test process; skin files in a folder of
// the test's own.
class SkinLibraryInProcess : public ::testing::Test {
  protected:
    void SetUp() override {
        library_ = LoadLibraryW((e2e::buildDir() + L"\\SkinH_VB6.dll").c_str());
        ASSERT_NE(library_, nullptr);
        attach_ = reinterpret_cast<AttachFn>(
            reinterpret_cast<void*>(GetProcAddress(library_, "SkinH_AttachEx")));
        ASSERT_NE(attach_, nullptr);
    }
    LONG attach(const std::string& skin) const { return attach_(skin.c_str(), ""); }

    HMODULE library_ = nullptr;
    AttachFn attach_ = nullptr;
    const e2e::TempDir dir_{L"skinlib"};
};

TEST_F(SkinLibraryInProcess, AttachingAgainKeepsTheLookAndANewFileWaitsForPaintsOfTheOldOne) {
    const std::string first = writeSkin(dir_, L"first.she", "#102030");
    const std::string second = writeSkin(dir_, L"second.she", "#405060");

    const TestWindow mine;
    ASSERT_EQ(attach(first), 1);
    const LONG_PTR skinnedProc = GetWindowLongPtrW(mine.top(), GWLP_WNDPROC);
    const HBRUSH firstBrush = mine.listBrush();
    EXPECT_EQ(brushColour(firstBrush), kFirstList);
    {
        SCOPED_TRACE("the same file again");
        ASSERT_EQ(attach(first), 1);
        EXPECT_EQ(GetWindowLongPtrW(mine.top(), GWLP_WNDPROC), skinnedProc) << "subclassed once";
        EXPECT_EQ(mine.listBrush(), firstBrush) << "the same brushes kept";
    }

    SCOPED_TRACE("another file while a window of another thread paints");
    PaintingThread painter(attach_, first);
    ASSERT_EQ(painter.held(), firstBrush);
    ASSERT_EQ(attach(second), 1);
    EXPECT_EQ(brushColour(mine.listBrush()), kSecondList) << "the new colours take over";
    EXPECT_TRUE(painter.finishPaint()) << "the brush in use was freed under the paint";
    // Back in its message loop, that thread paints with the new look, and the
    // old one is freed: nothing can be painting with it any more.
    EXPECT_TRUE(e2e::waitUntil([&] { return !alive(firstBrush); })) << "the old look is kept";
    ASSERT_NE(painter.window(), nullptr);
    EXPECT_EQ(brushColour(painter.window()->listBrush()), kSecondList);

    SCOPED_TRACE("unloaded while windows wear the skin");
    FreeLibrary(library_);
    EXPECT_EQ(GetModuleHandleW(L"SkinH_VB6.dll"), library_) << "the library stays loaded";
    EXPECT_EQ(brushColour(mine.listBrush()), kSecondList);
}

TEST_F(SkinLibraryInProcess, EveryThreadIsHookedWhileItLivesHoweverManyCameBefore) {
    const std::string skin = writeSkin(dir_, L"skin.she", "#102030");

    // One after another, more threads than the library watches at once; each
    // window is made after its thread attached, so only the hook can skin it.
    for (int i = 0; i < 20; ++i) {
        SCOPED_TRACE("thread " + std::to_string(i + 1));
        LONG attached = -1;
        bool skinned = false;
        COLORREF list = CLR_INVALID;
        std::thread([&] {
            attached = attach(skin);
            const TestWindow window;
            skinned = window.skinnedBy(library_);
            list = brushColour(window.listBrush());
        }).join();
        EXPECT_EQ(attached, 1);
        EXPECT_TRUE(skinned);
        EXPECT_EQ(list, kFirstList);
    }
}

TEST_F(SkinLibraryInProcess, APaintUnderWayKeepsItsLookWithoutHoldingTheLibrary) {
    const std::string first =
        writeSkin(dir_, L"first.she", "#102030", "[button]\nface = #A01010\n");
    const std::string second =
        writeSkin(dir_, L"second.she", "#405060", "[button]\nface = #10A010\n");
    e2e::Stall stall;
    g_stall = &stall;
    const e2e::ReplacedImport fill(library_, "user32.dll", "FillRect",
                                   reinterpret_cast<void*>(&stallingFillRect));
    g_real = fill.previous();
    ASSERT_NE(g_real, nullptr);

    // A window thread draws its button; the drawing stops at its first fill,
    // and the thread runs a nested message loop meanwhile.
    std::atomic<DWORD> uiThread{0};
    COLORREF during = CLR_INVALID;
    COLORREF after = CLR_INVALID;
    std::thread ui([&] {
        uiThread = GetCurrentThreadId();
        const TestWindow window;
        attach(first);
        stall.arm(GetCurrentThreadId(), true);
        during = printedFace(window.button());
        after = printedFace(window.button());
    });
    const bool stopped = stall.waitStopped();
    if (stopped) {
        const auto held = static_cast<HBRUSH>(stall.detail());
        EXPECT_EQ(brushColour(held), kFirstFace);
        EXPECT_EQ(attach(second), 1);
        // Posted after the new look's refresh message: once the painting
        // thread takes it, it has taken that one too and counts as quiet.
        PostThreadMessageW(uiThread, WM_APP, 0, 0);
        EXPECT_TRUE(e2e::waitUntil([&] { return stall.drained() || stall.over(); }));
        EXPECT_FALSE(stall.over()) << "attaching waited for the paint to end";
        EXPECT_TRUE(alive(held)) << "the look was freed under the paint";
        stall.release();
        ui.join();
        EXPECT_EQ(during, kFirstFace) << "the paint ends in the look it began with";
        EXPECT_EQ(after, kSecondFace) << "the next paint takes the new look";
        EXPECT_TRUE(e2e::waitUntil([&] { return !alive(held); })) << "the replaced look is kept";
    } else {
        stall.release();
        ui.join();
        ADD_FAILURE() << "the button was not drawn by the library";
    }
}

TEST_F(SkinLibraryInProcess, AThreadEndsWithoutWaitingForTheLibraryOrCallingIntoUser) {
    const std::string first = writeSkin(dir_, L"first.she", "#102030");
    const std::string second = writeSkin(dir_, L"second.she", "#405060");
    // A skinned window on another thread: a new look is posted to it, and the
    // library holds its lock while it posts.
    PaintingThread other(attach_, first);
    ASSERT_TRUE(other.finishPaint());
    e2e::Stall stall;
    g_stall = &stall;
    const e2e::ReplacedImport post(library_, "user32.dll", "PostMessageW",
                                   reinterpret_cast<void*>(&stallingPostMessage));
    const e2e::ReplacedImport unhook(library_, "user32.dll", "UnhookWindowsHookEx",
                                     reinterpret_cast<void*>(&recordingUnhook));
    g_real = post.previous();
    g_realUnhook = unhook.previous();
    ASSERT_NE(g_real, nullptr);
    ASSERT_NE(g_realUnhook, nullptr);

    const HANDLE endNow = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    AttachThenEnd ending{attach_, first.c_str(), endNow};
    DWORD endingId = 0;
    const HANDLE endingThread = CreateThread(nullptr, 0, AttachThenEnd::run, &ending, 0, &endingId);
    ASSERT_NE(endingThread, nullptr);
    g_endingThread = endingId;
    ASSERT_TRUE(e2e::waitUntil([&] { return ending.attached >= 0; }));
    EXPECT_EQ(ending.attached, 1);

    LONG attachedSecond = -1;
    std::thread installer([&] {
        stall.arm(GetCurrentThreadId(), false);
        attachedSecond = attach(second);
    });
    const bool stopped = stall.waitStopped();
    SetEvent(endNow);
    const bool endedAtOnce = WaitForSingleObject(endingThread, 5000) == WAIT_OBJECT_0;
    stall.release();
    installer.join();
    WaitForSingleObject(endingThread, 15000);
    CloseHandle(endingThread);
    CloseHandle(endNow);

    EXPECT_TRUE(stopped) << "the new look was not posted to the other thread";
    EXPECT_TRUE(endedAtOnce) << "the ending thread waited for the library's lock";
    EXPECT_FALSE(g_unhookedByEnding) << "the ending thread called into USER on its way out";
    EXPECT_FALSE(stall.timedOut());
    EXPECT_EQ(attachedSecond, 1);
}

// All tracking ends with the system's WM_MOUSELEAVE, whether or not the skin
// draws the button then; the skin must not leave the button hot for good.
TEST_F(SkinLibraryInProcess, AButtonIsNotLeftHotByALeaveWhileTheSkinStoodDownOrAnEndedTracking) {
    const COLORREF face = RGB(0xA0, 0x10, 0x10);
    const COLORREF hot = RGB(0x10, 0xA0, 0x10);
    const std::string skin =
        writeSkin(dir_, L"hot.she", "#102030", "[button]\nface = #A01010\nhot = #10A010\n");
    const e2e::ReplacedImport contrast(library_, "user32.dll", "SystemParametersInfoW",
                                       reinterpret_cast<void*>(&contrastSystemParameters));
    g_real = contrast.previous();
    ASSERT_NE(g_real, nullptr);
    g_highContrast = false;
    const TestWindow mine;
    ShowWindow(mine.top(), SW_SHOWNOACTIVATE);
    ASSERT_EQ(attach(skin), 1);
    const HWND button = mine.button();
    RECT area{};
    GetWindowRect(button, &area);
    const POINT on{(area.left + area.right) / 2, (area.top + area.bottom) / 2};
    const POINT off{area.right + 200, area.bottom + 200};
    // The cursor on the button, and the move Windows would send for it.
    const auto hover = [&] {
        SetCursorPos(on.x, on.y);
        POINT client = on;
        ScreenToClient(button, &client);
        SendMessageW(button, WM_MOUSEMOVE, 0, MAKELPARAM(client.x, client.y));
    };
    // The cursor off the button until the system has sent its leave.
    const auto leave = [&] {
        SetCursorPos(off.x, off.y);
        return e2e::waitUntil([&] { return afterMessages([&] { return !leaveTracked(button); }); },
                              5000);
    };
    const auto setContrast = [&](bool high) {
        g_highContrast = high;
        SendMessageW(mine.top(), WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
    };
    ASSERT_EQ(printedFace(button), face);

    SCOPED_TRACE("left while high contrast had the skin stand down");
    hover();
    ASSERT_EQ(printedFace(button), hot);
    setContrast(true);
    EXPECT_NE(printedFace(button), hot) << "the skin stood down";
    ASSERT_TRUE(leave()) << "no WM_MOUSELEAVE came";
    setContrast(false);
    EXPECT_EQ(printedFace(button), face) << "hot after the leave";
    hover();
    EXPECT_EQ(printedFace(button), hot) << "not hot again on the next move";
    ASSERT_TRUE(leave());
    EXPECT_EQ(printedFace(button), face);

    SCOPED_TRACE("hot, with the tracking ended without a leave");
    hover();
    ASSERT_EQ(printedFace(button), hot);
    TRACKMOUSEEVENT cancel{sizeof cancel, TME_CANCEL | TME_LEAVE, button, 0};
    ASSERT_TRUE(TrackMouseEvent(&cancel));
    ASSERT_FALSE(leaveTracked(button));
    hover();
    EXPECT_TRUE(leaveTracked(button)) << "the next move did not track the leave again";
    EXPECT_TRUE(leave());
    EXPECT_EQ(printedFace(button), face);
}

}  // namespace
