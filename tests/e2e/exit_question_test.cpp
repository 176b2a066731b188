// Leaving the program: every close asks whether to visit the forum first.
// And the two web links, which open the site and the forum.
#include <algorithm>
#include <gtest/gtest.h>

#include "resources/form1_design.h"
#include "tests/e2e/expected_texts.h"
#include "tests/e2e/harness.h"

namespace {

using e2e::expected::kCloseTitle;

using e2e::Program;

constexpr wchar_t kThanks[] = L"感谢您对Mirt、对Zelk系列的软件的支持!";
constexpr wchar_t kQuestion[] = L"是否退出并到论坛可以下载更多Zelk系列原创免费软件?";
constexpr wchar_t kWebPrefix[] = L"explorer.exe http://";
// Ending takes a moment under Wine; this only bounds a hang.
constexpr DWORD kExitTimeoutMs = 30000;

using e2e::narrow;

bool endsWith(const std::wstring& text, const std::wstring& tail) {
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// The host of "explorer.exe http://host/...", or empty.
std::wstring hostOf(const std::wstring& commandLine) {
    const std::wstring prefix = kWebPrefix;
    if (commandLine.rfind(prefix, 0) != 0) return {};
    const size_t slash = commandLine.find(L'/', prefix.size());
    return slash == std::wstring::npos ? std::wstring()
                                       : commandLine.substr(prefix.size(), slash - prefix.size());
}

HWND askToClose(const Program& program) {
    program.close();
    return program.waitForMessageBox(kCloseTitle);
}

bool boxGone(const Program& program) {
    return e2e::waitUntil([&] { return program.findMessageBox(kCloseTitle) == nullptr; });
}

bool endsCleanly(const Program& program) {
    return program.process().waitForExit(kExitTimeoutMs) && program.process().exitCode() == 0;
}

void expectWebLaunch(const e2e::Launch& launch) {
    EXPECT_TRUE(e2e::sameFile(launch.path, e2e::windowsDir() + L"\\explorer.exe"))
        << narrow(launch.path);
    EXPECT_EQ(launch.commandLine.rfind(kWebPrefix, 0), 0u) << narrow(launch.commandLine);
    EXPECT_FALSE(hostOf(launch.commandLine).empty()) << narrow(launch.commandLine);
    EXPECT_EQ(launch.show, SW_SHOWMINIMIZED);
}

// Starts a forced repair and waits for its log to hold `lines` lines.
bool repairUntil(const Program& program, size_t lines) {
    program.click(design::kCommand4);
    const HWND question = program.waitForMessageBox(e2e::expected::kRepairTitle);
    if (!question) return false;
    Program::answer(question, IDYES);
    return e2e::waitUntil([&] { return program.listItems().size() >= lines; }, 30000);
}

TEST(ExitQuestion, ThanksAndAsksAboutTheForumAndCancelKeepsTheWindow) {
    Program program;
    ASSERT_NE(program.window(), nullptr);
    const HWND box = askToClose(program);
    ASSERT_NE(box, nullptr);
    const std::wstring text = Program::messageBoxText(box);
    // Two lines with a line holding one space between them, each break a bare CR.
    EXPECT_EQ(text, std::wstring(kThanks) + L"\r \r" + kQuestion);
    EXPECT_EQ(text.rfind(kThanks, 0), 0u);
    EXPECT_TRUE(endsWith(text, kQuestion));
    EXPECT_NE(text.find(L'\u3001'), std::wstring::npos) << "the ideographic comma";
    EXPECT_EQ(Program::messageBoxButtons(box), (std::vector<int>{IDCANCEL, IDYES, IDNO}));

    Program::answer(box, IDCANCEL);
    ASSERT_TRUE(boxGone(program));
    EXPECT_TRUE(program.process().running());
    EXPECT_TRUE(IsWindowVisible(program.window()));

    // The next close asks again.
    const HWND again = askToClose(program);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(Program::messageBoxText(again), text);
    Program::answer(again, IDCANCEL);
    ASSERT_TRUE(boxGone(program));
    EXPECT_TRUE(program.process().running());
    EXPECT_TRUE(program.settledLaunches().empty());
}

TEST(ExitQuestion, EscapeKeepsTheWindowAsCancelDoes) {
    Program program;
    ASSERT_NE(program.window(), nullptr);
    // The box's own close button.
    HWND box = askToClose(program);
    ASSERT_NE(box, nullptr);
    PostMessageW(box, WM_CLOSE, 0, 0);
    ASSERT_TRUE(boxGone(program));
    EXPECT_TRUE(program.process().running());

    // The Esc key.
    box = askToClose(program);
    ASSERT_NE(box, nullptr);
    PostMessageW(box, WM_KEYDOWN, VK_ESCAPE, 0);
    ASSERT_TRUE(boxGone(program));
    EXPECT_TRUE(program.process().running());
    EXPECT_TRUE(IsWindowVisible(program.window()));
    EXPECT_TRUE(program.settledLaunches().empty());
}

// Yes opens the forum and ends; when it comes while the forced repair has
// the shell ended (after its fourth line), the shell is started again after it.
TEST(ExitQuestion, YesOpensTheForumMinimisedAndEnds) {
    for (const size_t repairLines : {size_t{0}, size_t{4}}) {
        SCOPED_TRACE(repairLines);
        Program program;
        ASSERT_NE(program.window(), nullptr);
        if (repairLines > 0) {
            ASSERT_TRUE(repairUntil(program, repairLines));
        }
        const HWND box = askToClose(program);
        ASSERT_NE(box, nullptr);
        ASSERT_EQ(program.listItems().size(), repairLines);
        Program::answer(box, IDYES);
        EXPECT_TRUE(endsCleanly(program));
        const size_t expected = repairLines > 0 ? 2 : 1;
        ASSERT_TRUE(program.waitForLaunches(expected));
        auto launches = program.launches();
        ASSERT_EQ(launches.size(), expected);
        // Each program started records itself as it starts: two started one
        // after the other may record in either order.
        std::stable_partition(launches.begin(), launches.end(), [](const e2e::Launch& launch) {
            return launch.commandLine.rfind(kWebPrefix, 0) == 0;
        });
        expectWebLaunch(launches[0]);
        EXPECT_TRUE(endsWith(launches[0].commandLine, L"/bbs")) << narrow(launches[0].commandLine);
        if (repairLines > 0) e2e::expectLaunchOfShell(launches[1]);
    }
}

TEST(ExitQuestion, NoEndsWithoutOpeningAnything) {
    Program program;
    ASSERT_NE(program.window(), nullptr);
    const HWND box = askToClose(program);
    ASSERT_NE(box, nullptr);
    Program::answer(box, IDNO);
    ASSERT_TRUE(endsCleanly(program));
    EXPECT_TRUE(program.settledLaunches().empty());
}

TEST(ExitQuestion, TheWindowMenusCloseAsksToo) {
    Program program;
    ASSERT_NE(program.window(), nullptr);
    PostMessageW(program.window(), WM_SYSCOMMAND, SC_CLOSE, 0);
    const HWND box = program.waitForMessageBox(kCloseTitle);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(Program::messageBoxButtons(box), (std::vector<int>{IDCANCEL, IDYES, IDNO}));
    Program::answer(box, IDNO);
    EXPECT_TRUE(endsCleanly(program));
}

TEST(ExitQuestion, ACloseDuringARepairPauseCancelLetsItGoOnAndNoStartsTheEndedShellAgain) {
    // Dialogs the run ends at its third step.
    e2e::TempDir dir(L"repair");
    std::vector<e2e::Process> dialogs;
    for (int i = 0; i < 2; ++i) dialogs.push_back(e2e::startNamed(dir, L"rundll32.exe"));
    Program program;
    ASSERT_NE(program.window(), nullptr);
    ASSERT_TRUE(repairUntil(program, 1));

    HWND box = askToClose(program);
    ASSERT_NE(box, nullptr);
    Program::answer(box, IDCANCEL);
    ASSERT_TRUE(boxGone(program));
    // The fourth line: the shell is ended and starts again two seconds later.
    ASSERT_TRUE(e2e::waitUntil([&] { return program.listItems().size() >= 4; }, 30000))
        << "the run goes on";

    box = askToClose(program);
    ASSERT_NE(box, nullptr);
    ASSERT_EQ(program.listItems().size(), 4u) << "the question waits in the pause after line 4";
    Program::answer(box, IDNO);
    EXPECT_TRUE(endsCleanly(program)) << "exit code " << program.process().exitCode();

    // The run stops there, but not without the shell: it is started again,
    // and the dialog that ends a full run never opens.
    ASSERT_TRUE(e2e::waitUntilNoneRunsFrom(e2e::standInFiles()));
    for (const auto& d : dialogs) EXPECT_FALSE(d.running()) << "ended at the third step";
    const auto launches = program.launches();
    ASSERT_EQ(launches.size(), 1u);
    e2e::expectLaunchOfShell(launches[0]);
}

// What the system sends at log-off, shutdown or for the Restart Manager.
LRESULT queryEndSession(const Program& program, LPARAM flags) {
    DWORD_PTR result = 0xDEAD;
    // Bounds a hang: a program that asks inside the query answers only when
    // the user does, long after the system stopped waiting.
    if (!SendMessageTimeoutW(program.window(), WM_QUERYENDSESSION, 0, flags, SMTO_NORMAL, 15000,
                             &result)) {
        ADD_FAILURE() << "the query was not answered";
    }
    return static_cast<LRESULT>(result);
}

void endSession(const Program& program, LPARAM flags) {
    SendMessageTimeoutW(program.window(), WM_ENDSESSION, TRUE, flags, SMTO_NORMAL, 10000, nullptr);
}

// The query is refused at once, and only then is the close question asked,
// as any close request asks it; its answer is carried out in full without
// the system's say: Cancel keeps the program, No ends it with no
// WM_ENDSESSION. While it is open, another query or close asks nothing new.
TEST(SessionEnd, IsRefusedAtOnceAndTheCloseQuestionFollowsOutsideTheQuery) {
    for (const DWORD reason : {DWORD{ENDSESSION_LOGOFF}, DWORD{0}, DWORD{ENDSESSION_CLOSEAPP}}) {
        SCOPED_TRACE(reason);
        const auto flags = static_cast<LPARAM>(reason);
        Program program;
        ASSERT_NE(program.window(), nullptr);
        // Answered while nobody has answered the question: not asked inside it.
        EXPECT_EQ(queryEndSession(program, flags), FALSE);
        const HWND box = program.waitForMessageBox(kCloseTitle);
        ASSERT_NE(box, nullptr);

        EXPECT_EQ(queryEndSession(program, flags), FALSE);
        program.close();
        ASSERT_TRUE(program.sync());
        EXPECT_EQ(program.messageBoxCount(kCloseTitle), 1u);

        Program::answer(box, IDCANCEL);
        ASSERT_TRUE(boxGone(program));
        ASSERT_TRUE(program.sync());
        EXPECT_TRUE(program.process().running());
        EXPECT_EQ(program.messageBoxCount(kCloseTitle), 0u) << "one question for them all";

        EXPECT_EQ(queryEndSession(program, flags), FALSE);
        const HWND again = program.waitForMessageBox(kCloseTitle);
        ASSERT_NE(again, nullptr);
        Program::answer(again, IDNO);
        EXPECT_TRUE(endsCleanly(program));
        EXPECT_TRUE(program.settledLaunches().empty());
    }
}

// A critical end is agreed unasked; the end itself (a critical one, or the
// user's "Shut down anyway") ends the program, an open question with it.
TEST(SessionEnd, ACriticalEndIsAgreedUnaskedAndTheEndItselfEndsTheProgram) {
    for (const bool questionOpen : {false, true}) {
        SCOPED_TRACE(questionOpen);
        Program program;
        ASSERT_NE(program.window(), nullptr);
        if (questionOpen) {
            EXPECT_EQ(queryEndSession(program, static_cast<LPARAM>(ENDSESSION_LOGOFF)), FALSE);
            ASSERT_NE(program.waitForMessageBox(kCloseTitle), nullptr);
            endSession(program, static_cast<LPARAM>(ENDSESSION_LOGOFF));
        } else {
            EXPECT_EQ(queryEndSession(program, ENDSESSION_CRITICAL), TRUE);
            ASSERT_TRUE(program.sync());
            EXPECT_EQ(program.messageBoxCount(kCloseTitle), 0u);
            endSession(program, ENDSESSION_CRITICAL);
        }
        EXPECT_TRUE(endsCleanly(program));
        EXPECT_TRUE(program.settledLaunches().empty());
    }
}

TEST(WebLinks, OpenTheSiteAndTheForumMinimisedAndMarkTheLastChoice) {
    Program program;
    ASSERT_NE(program.window(), nullptr);
    const HWND site = program.control(design::kOption1);
    const HWND forum = program.control(design::kOption2);

    program.click(design::kOption1);
    ASSERT_TRUE(program.waitForLaunches(1));
    EXPECT_EQ(SendMessageW(site, BM_GETCHECK, 0, 0), BST_CHECKED);
    program.click(design::kOption2);
    ASSERT_TRUE(program.waitForLaunches(2));
    EXPECT_EQ(SendMessageW(forum, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessageW(site, BM_GETCHECK, 0, 0), BST_UNCHECKED);

    const auto launches = program.launches();
    ASSERT_EQ(launches.size(), 2u);
    expectWebLaunch(launches[0]);
    expectWebLaunch(launches[1]);
    const std::wstring host = hostOf(launches[0].commandLine);
    EXPECT_EQ(launches[0].commandLine, kWebPrefix + host + L"/");
    EXPECT_EQ(launches[1].commandLine, kWebPrefix + host + L"/bbs");
    EXPECT_TRUE(program.process().running());
}

}  // namespace
