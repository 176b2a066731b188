// The Explorer button: one click ends the shell, the next starts it again.
// Its caption is all the state it keeps.
#include <gtest/gtest.h>

#include "resources/form1_design.h"
#include "tests/e2e/harness.h"

namespace {

using e2e::Program;

constexpr wchar_t kClearCaption[] = L"清除Explorer";
constexpr wchar_t kRestartCaption[] = L"重启Explorer";
constexpr wchar_t kCleared[] = L"已清除Explorer,请点击重启Explorer...";
constexpr wchar_t kRestarted[] = L"已重启Explorer,您可尝试卸载U盘...";
constexpr wchar_t kExplorer[] = L"explorer.exe";

using e2e::narrow;

bool captionBecomes(const Program& program, const std::wstring& caption) {
    return e2e::waitUntil([&] { return program.text(design::kCommand3) == caption; });
}

bool statusBecomes(const Program& program, const std::wstring& text) {
    return e2e::waitUntil([&] { return program.statusText(2) == text; });
}

TEST(ExplorerToggle, FirstClickEndsEveryRunningShellAndOffersTheRestart) {
    e2e::TempDir dir(L"shell");
    std::vector<e2e::Process> shells;
    for (int i = 0; i < 2; ++i) shells.push_back(e2e::startNamed(dir, kExplorer));
    for (const auto& s : shells) ASSERT_TRUE(s.running());

    Program program;
    ASSERT_NE(program.window(), nullptr);
    ASSERT_EQ(program.text(design::kCommand3), kClearCaption);
    program.click(design::kCommand3);
    ASSERT_TRUE(captionBecomes(program, kRestartCaption));
    EXPECT_EQ(program.statusText(2), kCleared);
    for (const auto& s : shells) {
        EXPECT_TRUE(s.waitForExit());
        EXPECT_EQ(s.exitCode(), 0u) << "ended with exit code 0";
    }
    // Wine's own desktop process goes too: no shell of any kind is left.
    EXPECT_TRUE(e2e::waitUntil([] { return e2e::processesNamed(kExplorer).empty(); }));
    EXPECT_TRUE(program.settledLaunches().empty()) << "ending the shell starts nothing";
    EXPECT_TRUE(program.process().running());
}

TEST(ExplorerToggle, SecondClickStartsTheShellMinimisedFromTheWindowsFolder) {
    // The current directory stands for the stick: the shell must not start in it.
    e2e::TempDir stick(L"stick");
    e2e::ProgramOptions options;
    options.currentDirectory = stick.path();
    Program program(options);
    ASSERT_NE(program.window(), nullptr);

    program.click(design::kCommand3);
    ASSERT_TRUE(captionBecomes(program, kRestartCaption));
    program.click(design::kCommand3);
    ASSERT_TRUE(captionBecomes(program, kClearCaption));
    EXPECT_TRUE(statusBecomes(program, kRestarted));
    ASSERT_TRUE(program.waitForLaunches(1));
    const e2e::Launch launch = program.launches().at(0);
    e2e::expectLaunchOfShell(launch);
    EXPECT_FALSE(e2e::sameFile(launch.directory, stick.path()));
    EXPECT_FALSE(e2e::sameFile(launch.directory, program.folder()));

    // The toggle goes round again: clear (nothing started), restart (started once more).
    program.click(design::kCommand3);
    ASSERT_TRUE(captionBecomes(program, kRestartCaption));
    EXPECT_EQ(program.statusText(2), kCleared);
    program.click(design::kCommand3);
    ASSERT_TRUE(captionBecomes(program, kClearCaption));
    EXPECT_TRUE(statusBecomes(program, kRestarted));
    ASSERT_TRUE(program.waitForLaunches(2));
    // Every start the program made is on record once the stand-ins are done.
    ASSERT_EQ(program.settledLaunches().size(), 2u) << "no stray start";
    EXPECT_EQ(program.launches().at(1).commandLine, L"explorer.exe");
}

TEST(ExplorerToggle, ClearingWhenNoShellRunsStillSaysSoAndToggles) {
    Program program;
    ASSERT_NE(program.window(), nullptr);
    ASSERT_TRUE(e2e::endProcessesNamed(kExplorer));
    program.click(design::kCommand3);
    ASSERT_TRUE(captionBecomes(program, kRestartCaption));
    EXPECT_EQ(program.statusText(2), kCleared);
    EXPECT_TRUE(program.process().running());
}

TEST(ExplorerToggle, WindowsKeepWorkingAfterTheShellIsEnded) {
    {
        Program first;
        ASSERT_NE(first.window(), nullptr);
        first.click(design::kCommand3);
        ASSERT_TRUE(captionBecomes(first, kRestartCaption));
        ASSERT_TRUE(e2e::waitUntil([] { return e2e::processesNamed(kExplorer).empty(); }));
        // The same program still answers: a message box opens and closes.
        first.click(design::kCommand4);
        const HWND box = first.waitForMessageBox(L"Zelk系列软件提示");
        ASSERT_NE(box, nullptr);
        Program::answer(box, IDNO);
        EXPECT_TRUE(
            e2e::waitUntil([&] { return first.findMessageBox(L"Zelk系列软件提示") == nullptr; }));
    }
    // A program started with no shell running gets its window and works.
    Program second;
    ASSERT_NE(second.window(), nullptr);
    EXPECT_EQ(second.text(design::kCommand3), kClearCaption)
        << "each start begins in the clear state";
    ASSERT_TRUE(e2e::putTextOnClipboard(L"text"));
    second.click(design::kCommand1);
    EXPECT_TRUE(statusBecomes(second, L"已清空剪贴板,您可尝试卸载U盘..."));
    EXPECT_FALSE(e2e::clipboardHoldsData());
}

}  // namespace
