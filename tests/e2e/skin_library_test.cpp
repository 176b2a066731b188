// The skinning library inside a process of the test's own: attaching again,
// a second skin file while another thread is painting, threads that come and
// go, and an unload while windows wear the skin.
#include <windows.h>

#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <thread>

#include "tests/e2e/harness.h"

namespace {

using AttachFn = LONG(WINAPI*)(const char*, const char*);

constexpr wchar_t kWindowClass[] = L"SkinLibraryTest.Window";
constexpr COLORREF kFirstList = RGB(0x10, 0x20, 0x30);
constexpr COLORREF kSecondList = RGB(0x40, 0x50, 0x60);

// A skin file whose list background is `colour` ("#RRGGBB"); its path in the
// ANSI code page, as the library takes it.
std::string writeSkin(const e2e::TempDir& dir, const wchar_t* name, const char* colour) {
    const std::wstring path = dir.file(name);
    const std::string text =
        std::string("[window]\nbackground = #DDE8F3\n[list]\nbackground = ") + colour + "\n";
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

// A top-level window of the test's own with a list box in it, made on the
// calling thread and destroyed with the object.
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
    }
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;
    ~TestWindow() { DestroyWindow(top_); }
    HWND top() const { return top_; }

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
};

COLORREF brushColour(HBRUSH brush) {
    LOGBRUSH info{};
    if (GetObjectW(brush, sizeof info, &info) != sizeof info) return CLR_INVALID;
    return info.lbColor;
}

bool alive(HBRUSH brush) { return GetObjectType(brush) == OBJ_BRUSH; }

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

}  // namespace
