// The single-step buttons, clicked in the real program.
#include <gtest/gtest.h>

#include "resources/form1_design.h"
#include "tests/e2e/expected_texts.h"
#include "tests/e2e/harness.h"

namespace {

using e2e::expected::kCaption;
using e2e::expected::kClipboardDone;
using e2e::expected::kProcessesDone;

using e2e::Program;

bool statusBecomes(const Program& program, const std::wstring& text) {
    return e2e::waitUntil([&] { return program.statusText(2) == text; });
}

// A window of the test's own, so that it can hold the clipboard as other
// programs do.
class ClipboardHolder {
  public:
    ClipboardHolder()
        : window_(CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr,
                                  nullptr)) {}
    ClipboardHolder(const ClipboardHolder&) = delete;
    ClipboardHolder& operator=(const ClipboardHolder&) = delete;
    ~ClipboardHolder() {
        release();
        DestroyWindow(window_);
    }
    bool hold() { return held_ = OpenClipboard(window_) != FALSE; }
    void release() {
        if (held_) CloseClipboard();
        held_ = false;
    }

  private:
    HWND window_;
    bool held_ = false;
};

TEST(ClearClipboard, EmptiesAClipboardHoldingTextAndSaysSo) {
    Program program;
    ASSERT_TRUE(e2e::putTextOnClipboard(L"held by a document on the stick"));
    program.click(design::kCommand1);
    ASSERT_TRUE(statusBecomes(program, kClipboardDone));
    EXPECT_FALSE(e2e::clipboardHoldsData());

    // Already empty: the same message once more.
    program.click(design::kCommand2);
    ASSERT_TRUE(statusBecomes(program, kProcessesDone));
    program.click(design::kCommand1);
    EXPECT_TRUE(statusBecomes(program, kClipboardDone));
}

// Whether the radio button is checked, as the program answers while it runs
// a handler: false when it does not answer at all.
bool answersChecked(const Program& program, int id) {
    DWORD_PTR state = 0;
    return SendMessageTimeoutW(program.control(id), BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 5000,
                               &state) != 0 &&
           state == BST_CHECKED;
}

TEST(ClearClipboard, WaitsLiveForAProgramThatHoldsTheClipboardForAMoment) {
    Program program;
    ASSERT_TRUE(e2e::putTextOnClipboard(L"text"));
    ClipboardHolder holder;
    ASSERT_TRUE(holder.hold());
    // Posted in this order, the click is handled first; the check only by an
    // event loop that runs after the click's handler has begun.
    program.click(design::kCommand1);
    PostMessageW(program.control(design::kOption1), BM_SETCHECK, BST_CHECKED, 0);
    ASSERT_TRUE(e2e::waitUntil([&] { return answersChecked(program, design::kOption1); }))
        << "the window answers while the clipboard is held";
    holder.release();
    // Emptied only after the release, so the check above was handled while
    // the handler waited, not after it, nor in a failure's message box.
    ASSERT_TRUE(statusBecomes(program, kClipboardDone));
    EXPECT_FALSE(e2e::clipboardHoldsData());
    EXPECT_EQ(program.findMessageBox(kCaption), nullptr);
}

TEST(ClearClipboard, ACloseAnsweredWhileItWaitsEndsTheProgramWithoutAReport) {
    Program program;
    ClipboardHolder holder;
    ASSERT_TRUE(holder.hold());
    program.click(design::kCommand1);
    program.close();
    // The question comes up inside the wait; the budget is not looked at
    // again until it is answered, so no failure can be reported meanwhile.
    const HWND question = program.waitForMessageBox(L"Zelk系列软件");
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(program.findMessageBox(kCaption), nullptr) << "no failure before the question";
    Program::answer(question, IDNO);
    ASSERT_TRUE(program.process().waitForExit());
    EXPECT_EQ(program.process().exitCode(), 0u) << "ended as a close ends it";
}

TEST(ClearClipboard, ABusyClipboardIsReportedAndTheProgramKeepsRunning) {
    Program program;
    ASSERT_TRUE(e2e::putTextOnClipboard(L"text"));
    ClipboardHolder holder;
    ASSERT_TRUE(holder.hold());
    program.click(design::kCommand1);
    const HWND box = program.waitForMessageBox(kCaption);
    ASSERT_NE(box, nullptr) << "the failure is reported";
    EXPECT_NE(Program::messageBoxText(box).find(L"剪贴板"), std::wstring::npos);
    EXPECT_EQ(program.statusText(2), L"程序已加载完毕...")
        << "the handler stopped before its message";
    Program::answer(box, IDOK);
    holder.release();
    ASSERT_TRUE(e2e::waitUntil([&] { return program.findMessageBox(kCaption) == nullptr; }));
    EXPECT_TRUE(program.process().running());

    // And it works again once the clipboard is free.
    program.click(design::kCommand1);
    EXPECT_TRUE(statusBecomes(program, kClipboardDone));
}

TEST(ClearProcesses, EndsEveryRunningRundll32AndSaysSo) {
    e2e::TempDir dir(L"rundll");
    std::vector<e2e::Process> victims;
    for (int i = 0; i < 3; ++i) victims.push_back(e2e::startNamed(dir, L"rundll32.exe"));
    e2e::Process bystander = e2e::startNamed(dir, L"rundll32.exe.bak.exe");
    for (const auto& v : victims) ASSERT_TRUE(v.running());

    Program program;
    program.click(design::kCommand2);
    ASSERT_TRUE(statusBecomes(program, kProcessesDone));
    for (const auto& v : victims) {
        EXPECT_TRUE(v.waitForExit());
        EXPECT_EQ(v.exitCode(), 0u) << "ended with exit code 0";
    }
    EXPECT_TRUE(bystander.running()) << "only exact names are ended";
    EXPECT_TRUE(program.process().running());
}

TEST(ClearProcesses, SaysSoWhenNoneRuns) {
    Program program;
    program.click(design::kCommand2);
    EXPECT_TRUE(statusBecomes(program, kProcessesDone));
}

TEST(SafelyRemoveHardware, LaunchesTheSystemRundll32WithTheDialogsArguments) {
    Program program;
    program.click(design::kCommand1);
    ASSERT_TRUE(statusBecomes(program, kClipboardDone));
    program.click(design::kCommand5);
    ASSERT_TRUE(program.waitForLaunches(1));
    const e2e::Launch launch = program.launches().at(0);
    EXPECT_TRUE(e2e::sameFile(launch.path, e2e::systemDir() + L"\\rundll32.exe"))
        << launch.path.size();
    EXPECT_EQ(launch.commandLine, L"RUNDLL32.EXE shell32.dll,Control_RunDLL hotplug.dll");
    EXPECT_EQ(launch.show, SW_SHOWNORMAL);
    EXPECT_TRUE(e2e::sameFile(launch.directory, e2e::systemDir()))
        << "not the folder it was run from";
    EXPECT_EQ(program.statusText(2), kClipboardDone) << "the status bar is not touched";

    // Every click launches it again.
    program.click(design::kCommand5);
    EXPECT_TRUE(program.waitForLaunches(2));
}

}  // namespace
