// The real window made inside the test's process, for what only the window's
// own thread can see.
#include <windows.h>

#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

#include "resources/form1_design.h"
#include "tests/e2e/failing_allocation.h"
#include "tests/e2e/harness.h"
#include "tests/e2e/import_stall.h"
#include "tests/e2e/inprocess_window.h"
#include "win32/handles.h"
#include "window/status_bar.h"

namespace {

// The messages of one kind that the window's thread sends, caught by a
// message hook on that thread.
class SentMessages {
  public:
    explicit SentMessages(UINT message) : message_(message) {
        current_ = this;
        hook_.reset(::SetWindowsHookExW(WH_CALLWNDPROC, record, nullptr, ::GetCurrentThreadId()));
    }
    SentMessages(const SentMessages&) = delete;
    SentMessages& operator=(const SentMessages&) = delete;
    ~SentMessages() { current_ = nullptr; }

    bool hooked() const { return static_cast<bool>(hook_); }
    // The wParam of each such message the control was sent.
    std::vector<WPARAM> to(HWND control) const {
        std::vector<WPARAM> found;
        for (const auto& [target, wParam] : seen_) {
            if (target == control) found.push_back(wParam);
        }
        return found;
    }

  private:
    static LRESULT CALLBACK record(int code, WPARAM wParam, LPARAM lParam) {
        const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (code == HC_ACTION && current_ && sent->message == current_->message_) {
            current_->seen_.emplace_back(sent->hwnd, sent->wParam);
        }
        return ::CallNextHookEx(nullptr, code, wParam, lParam);
    }

    static inline SentMessages* current_ = nullptr;
    UINT message_;
    std::vector<std::pair<HWND, WPARAM>> seen_;
    win32::UniqueHook hook_;
};

// On Windows an automatic radio button clicks itself when it gets the focus,
// so a Tab onto a web link would open the browser; Wine's buttons never do,
// which is why the flag that stops it is checked as the window sets it.
TEST(WindowInProcess, WebLinksAreToldNotToClickWhenTheyGetTheFocus) {
    SentMessages dontClick(BM_SETDONTCLICK);
    ASSERT_TRUE(dontClick.hooked());
    const e2e::InProcessWindow form;
    ASSERT_TRUE(form.window());
    for (const int option : {design::kOption1, design::kOption2}) {
        SCOPED_TRACE(option);
        EXPECT_EQ(dontClick.to(form.control(option)), std::vector<WPARAM>{TRUE});
    }
}

// The system keeps the window's own data (its text among it) for a class
// that passes WM_NCCREATE and WM_NCDESTROY on, as a window procedure must.
TEST(WindowInProcess, TheStatusBarLetsTheSystemSetUpItsWindow) {
    const e2e::InProcessWindow form;
    ASSERT_TRUE(form.window());
    const HWND probe =
        ::CreateWindowExW(0, platform::kStatusBarClass, L"probe", WS_CHILD, 0, 0, 10, 10,
                          form.window(), nullptr, ::GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(probe);
    wchar_t text[16]{};
    EXPECT_EQ(::InternalGetWindowText(probe, text, 16), 5);
    EXPECT_STREQ(text, L"probe");
    ::DestroyWindow(probe);
}

// What the window tells the system while a log-off or shutdown waits for its
// close question, seen by pointing this program's imports of the calls at
// recorders (Wine shows no list of programs that hold the session up). The
// question itself is answered Cancel at once, and while it is open the
// system asks again, as it may.
struct SessionEndCalls {
    static inline HWND window = nullptr;
    static inline std::vector<std::wstring> reasons;
    static inline int reasonsTakenBack = 0;
    static inline bool reasonHeld = false;
    static inline std::vector<bool> questionsAskedWithReasonHeld;
    static inline std::vector<LRESULT> answersWhileAsking;

    static BOOL WINAPI createReason(HWND target, LPCWSTR reason) {
        if (target == window) reasons.emplace_back(reason);
        reasonHeld = true;
        return TRUE;
    }
    static BOOL WINAPI destroyReason(HWND) {
        ++reasonsTakenBack;
        reasonHeld = false;
        return TRUE;
    }
    static int WINAPI messageBox(HWND, LPCWSTR, LPCWSTR, UINT) {
        questionsAskedWithReasonHeld.push_back(reasonHeld);
        answersWhileAsking.push_back(
            SendMessageW(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF));
        return IDCANCEL;
    }
};

void handlePendingMessages() {
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
}

TEST(WindowInProcess, ALogOffWaitingForTheCloseQuestionIsToldWhyUntilItIsAnswered) {
    using Calls = SessionEndCalls;
    const HMODULE self = GetModuleHandleW(nullptr);
    const e2e::ReplacedImport create(self, "user32.dll", "ShutdownBlockReasonCreate",
                                     reinterpret_cast<void*>(&Calls::createReason));
    const e2e::ReplacedImport destroy(self, "user32.dll", "ShutdownBlockReasonDestroy",
                                      reinterpret_cast<void*>(&Calls::destroyReason));
    const e2e::ReplacedImport box(self, "user32.dll", "MessageBoxW",
                                  reinterpret_cast<void*>(&Calls::messageBox));
    ASSERT_TRUE(create.previous() && destroy.previous() && box.previous());
    const e2e::InProcessWindow form;
    ASSERT_TRUE(form.window());
    Calls::window = form.window();

    // Refused with the reason given, and nothing asked inside the query.
    EXPECT_EQ(SendMessageW(form.window(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), FALSE);
    EXPECT_EQ(Calls::reasons, std::vector<std::wstring>{L"正在询问是否退出"});
    EXPECT_TRUE(Calls::questionsAskedWithReasonHeld.empty());

    // Asked next, as a close request; a query meanwhile is refused with the
    // same reason and asks nothing new; the reason goes with the answer.
    handlePendingMessages();
    EXPECT_EQ(Calls::questionsAskedWithReasonHeld, std::vector<bool>{true});
    EXPECT_EQ(Calls::answersWhileAsking, std::vector<LRESULT>{FALSE});
    EXPECT_EQ(Calls::reasons, std::vector<std::wstring>(2, L"正在询问是否退出"));
    EXPECT_EQ(Calls::reasonsTakenBack, 1);
    EXPECT_TRUE(IsWindow(form.window())) << "Cancel keeps the window";

    // A critical end is agreed, and neither held up nor asked about, a
    // critical log-off too.
    for (const UINT critical :
         {UINT{ENDSESSION_CRITICAL}, UINT{ENDSESSION_CRITICAL | ENDSESSION_LOGOFF}})
        EXPECT_EQ(SendMessageW(form.window(), WM_QUERYENDSESSION, 0, critical), TRUE) << critical;
    handlePendingMessages();
    EXPECT_EQ(Calls::reasons.size(), 2u);
    EXPECT_EQ(Calls::questionsAskedWithReasonHeld.size(), 1u);
}

// Closed in the forced repair's pause while the shell is down, the window
// starts the shell again before it goes, unless Windows itself said that the
// session ends. Its shutting-down flag does not count: nothing says it is
// cleared when the user cancels the log-off, and that user would be left
// without a taskbar. Nor does the Restart Manager closing this program
// alone: the session, and the user, go on.
struct ShuttingDownFlag {
    static inline int(WINAPI* real)(int) = nullptr;
    static int WINAPI metric(int index) { return index == SM_SHUTTINGDOWN ? 1 : real(index); }
};

TEST(WindowInProcess, TheShellIsLeftEndedOnlyWhenWindowsSaysTheSessionEnds) {
    const e2e::ReplacedImport flag(GetModuleHandleW(nullptr), "user32.dll", "GetSystemMetrics",
                                   reinterpret_cast<void*>(&ShuttingDownFlag::metric));
    ShuttingDownFlag::real = reinterpret_cast<int(WINAPI*)(int)>(flag.previous());
    ASSERT_TRUE(ShuttingDownFlag::real);
    constexpr UINT kClosed = ~0u;  // WM_CLOSE, answered No
    const struct {
        const char* how;
        UINT endSessionFlags;
        int shellsStarted;
    } cases[] = {{"closed, answered No", kClosed, 1},
                 {"WM_ENDSESSION, log-off", ENDSESSION_LOGOFF, 0},
                 {"WM_ENDSESSION, the Restart Manager", ENDSESSION_CLOSEAPP, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.how);
        const e2e::ScriptedBoxes boxes(
            {{MB_YESNO | MB_ICONINFORMATION, IDYES}, {MB_YESNOCANCEL | MB_ICONINFORMATION, IDNO}});
        const e2e::RecordedLaunches launches;
        ASSERT_TRUE(boxes.installed() && launches.installed());
        e2e::QuickBindings quick;
        const e2e::InProcessWindow form(quick);
        ASSERT_TRUE(form.window());
        e2e::runForcedRepair(form, [&](int lines) {
            if (lines != 4) return;  // the shell was just ended
            if (c.endSessionFlags == kClosed)
                SendMessageW(form.window(), WM_CLOSE, 0, 0);
            else
                SendMessageW(form.window(), WM_ENDSESSION, TRUE, c.endSessionFlags);
        });
        EXPECT_FALSE(IsWindow(form.window()));
        const auto& started = launches.commandLines();
        EXPECT_EQ(std::count(started.begin(), started.end(), L"explorer.exe"), c.shellsStarted);
    }
}

// The names are given inside a reader's WM_GETOBJECT, sent from its process:
// a failure there shows no box (the reader would stall until its call timed
// out), the control still gives the standard answer, and the next question
// tries again. A reader's in-context hook runs inside the program's
// NotifyWinEvent and may ask again from there: that question finds both
// names given, and starts nothing over.
struct AskingReader {
    static inline void(WINAPI* real)(DWORD, HWND, LONG, LONG) = nullptr;
    static inline std::vector<HWND> toldOf;
    static inline int depth = 0;
    static inline int deepest = 0;
    static void WINAPI notify(DWORD event, HWND window, LONG object, LONG child) {
        if (event == EVENT_OBJECT_NAMECHANGE) {
            toldOf.push_back(window);
            deepest = std::max(deepest, ++depth);
            if (depth < 4) SendMessageW(window, WM_GETOBJECT, 0, OBJID_CLIENT);
            --depth;
        }
        real(event, window, object, child);
    }
};

TEST(WindowInProcess, NamingForReadersShowsNothingOnFailureTriesAgainAndIsNotStartedOver) {
    const e2e::ScriptedBoxes boxes({});
    ASSERT_TRUE(boxes.installed());
    const e2e::ReplacedImport hook(GetModuleHandleW(nullptr), "user32.dll", "NotifyWinEvent",
                                   reinterpret_cast<void*>(&AskingReader::notify));
    AskingReader::real = reinterpret_cast<decltype(AskingReader::real)>(hook.previous());
    ASSERT_TRUE(AskingReader::real);
    const support::TempDir folder(L"naming");
    SetEnvironmentVariableW(L"E2E_RECORD", folder.file(L"records.txt").c_str());
    // Annotations made, of the names or of the live setting.
    const auto annotations = [&](bool live = false) {
        const auto records = e2e::recordsIn(folder.file(L"records.txt"));
        return std::count_if(records.begin(), records.end(), [&](const e2e::Record& r) {
            return r[0] == L"annotate" &&
                   (r.size() > 4 && r[4] == e2e::kLiveSettingProperty) == live;
        });
    };
    const e2e::InProcessWindow form;
    ASSERT_TRUE(form.window());
    const HWND list = form.control(design::kList1);
    const HWND notes = form.control(design::kText1);

    // Memory runs out, then the service cannot be made: no box, the standard
    // answer, and no reader told of a name.
    e2e::failNextAllocation();
    const LRESULT answer = SendMessageW(list, WM_GETOBJECT, 0, OBJID_CLIENT);
    EXPECT_TRUE(e2e::allocationRefused()) << "naming allocates, and was refused";
    const HWND command1 = form.control(design::kCommand1);
    {
        const e2e::RecordingAnnotations missing(folder.file(L"missing.dll"));
        EXPECT_EQ(answer, SendMessageW(list, WM_GETOBJECT, 0, OBJID_CLIENT))
            << "the standard answer";
        SendMessageW(command1, BM_CLICK, 0, 0);  // a result, its panel not made live
    }
    EXPECT_TRUE(AskingReader::toldOf.empty());

    // Questions that are no reader's start nothing.
    const e2e::RecordingAnnotations recording;
    ASSERT_TRUE(recording.installed());
    for (const LONG id : {OBJID_QUERYCLASSNAMEIDX, OBJID_WINDOW, OBJID_NATIVEOM}) {
        SendMessageW(list, WM_GETOBJECT, 0, static_cast<LPARAM>(static_cast<DWORD>(id)));
    }
    EXPECT_EQ(annotations(), 0) << "named for a question that is no reader's";
    // The next reader's question, here UI Automation's, names both, each
    // once, and then tells of both; questions asked again while a name is
    // being given, and the hook's inside the events, find the work under way
    // or done.
    SetEnvironmentVariableW(L"E2E_ASK_AGAIN", L"1");
    constexpr LONG kUiaRootObjectId = -25;
    SendMessageW(notes, WM_GETOBJECT, 0, static_cast<LPARAM>(static_cast<DWORD>(kUiaRootObjectId)));
    SetEnvironmentVariableW(L"E2E_ASK_AGAIN", nullptr);
    EXPECT_EQ(annotations(), 4) << "two properties for each control, once";
    SendMessageW(command1, BM_CLICK, 0, 0);
    EXPECT_EQ(annotations(true), 1) << "the live region was not tried again";
    EXPECT_EQ(AskingReader::toldOf, (std::vector<HWND>{list, notes}));
    EXPECT_EQ(AskingReader::deepest, 1) << "asked again inside the event, named nothing again";
    EXPECT_TRUE(boxes.asked().empty());
    EXPECT_TRUE(IsWindow(form.window()));
    SetEnvironmentVariableW(L"E2E_RECORD", nullptr);
}

}  // namespace
