#include "app/form1.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "app/texts.h"
#include "tests/unit/fake_host.h"

namespace {

using Strings = std::vector<std::string>;
using fake::utf8;
namespace texts = app::texts;

// Literal copies of what the user sees, kept apart from texts.h so that a
// slip there (a full-width comma, a missing dot) fails here.
const std::string kRepairBox =
    "messageBox(一键强力修复具有一定的风险性,但确保不会损坏您的计算机系统,是否继续?,68,"
    "Zelk系列软件提示)";
const std::wstring kClosePrompt =
    L"感谢您对Mirt、对Zelk系列的软件的支持!\r \r是否退出并到论坛可以下载更多Zelk系列原创免费软件?";
const std::string kCloseBox = "messageBox(" + utf8(kClosePrompt) + ",67,Zelk系列软件)";
const std::string kHotplug = "launch(RUNDLL32.EXE shell32.dll,Control_RunDLL hotplug.dll,1)";
const std::string kSnapshot = "CreateToolhelp32Snapshot(2,0)";

// One window and its system; fresh per case.
struct World {
    bool click(void (app::Form1::*handler)()) {
        return app::runGuarded(host, [&] { (form.*handler)(); });
    }

    fake::FakeSystem sys;
    fake::FakeHost host{sys};
    fake::FakeBindings api{sys};
    app::Form1 form{host, api};
};

TEST(Form1, LoadAttachesTheSkinTwiceAndDropsTheSizingBorder) {
    struct Case {
        const wchar_t* directory;
        const char* skinPath;
        std::uint32_t style;
        std::uint32_t written;
        std::int32_t firstAttach;
    };
    const Case cases[] = {
        {L"C:\\Tools", "C:\\Tools/skinh.she", 0x16CF0000, 0x16CB0000, 1},
        {L"C:\\Tools\\", "C:\\Tools\\/skinh.she", 0x16CB0000, 0x16CB0000, 0},
        {L"D:/apps/", "D:/apps//skinh.she", 0xFFFFFFFF, 0xFFFBFFFF, 0},
        {L"C:\\", "C:\\/skinh.she", 0x00040000, 0x00000000, -1},
        {L"E:\\usb", "E:\\usb/skinh.she", 0x00000000, 0x00000000, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.skinPath);
        World w;
        w.host.directory = c.directory;
        w.api.style = c.style;
        w.api.attachResults = {c.firstAttach, 0};
        ASSERT_TRUE(w.click(&app::Form1::Form_Load));
        char written[16];
        std::snprintf(written, sizeof written, "0x%X", c.written);
        const std::string attach = std::string("SkinH_AttachEx(") + c.skinPath + ",)";
        EXPECT_EQ(w.sys.outline(),
                  (Strings{attach, attach, "GetWindowLongA(0x1234,-16)",
                           "SetWindowLongA(0x1234,-16," + std::string(written) + ")"}));
        EXPECT_EQ(w.api.style, c.written);
    }
}

TEST(Form1, ClipboardButtonClearsThenReports) {
    World w;
    EXPECT_TRUE(w.click(&app::Form1::Command1_Click));
    EXPECT_EQ(w.sys.outline(),
              (Strings{"clearClipboard", "status(2,已清空剪贴板,您可尝试卸载U盘...)"}));
    EXPECT_EQ(w.host.status[2], texts::kStatusClipboard);
}

TEST(Form1, ClipboardThatStaysBusyIsReportedOnceAndNoStatusWritten) {
    World w;
    w.host.failClearClipboardAt = 1;
    EXPECT_FALSE(w.click(&app::Form1::Command1_Click));
    EXPECT_EQ(w.sys.outline(), (Strings{"clearClipboard", "reportError(clearClipboard)"}));
    EXPECT_TRUE(w.host.status.empty());
    EXPECT_EQ(w.host.errors.size(), 1u);
}

TEST(Form1, ProcessButtonEndsRundll32AndReportsEvenWithNoneRunning) {
    const std::string done = "status(2,已清除相关进程,您可尝试卸载U盘...)";
    struct Case {
        std::vector<fake::FakeProcess> processes;
        Strings outline;
    };
    const Case cases[] = {
        {{}, {kSnapshot, done}},
        {{{"explorer.exe", 100}}, {kSnapshot, done}},
        {{{"explorer.exe", 100}, {"RUNDLL32.EXE", 200}, {"rundll32.exe", 300}},
         {kSnapshot, "TerminateProcess(hproc200,0)", "TerminateProcess(hproc300,0)", done}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.processes.size());
        World w;
        w.api.processes = c.processes;
        EXPECT_TRUE(w.click(&app::Form1::Command2_Click));
        EXPECT_EQ(w.sys.outline(), c.outline);
        EXPECT_EQ(w.host.status[2], texts::kStatusProcesses);
    }
}

TEST(Form1, HotplugButtonOpensSafelyRemoveHardware) {
    World w;
    EXPECT_TRUE(w.click(&app::Form1::Command5_Click));
    EXPECT_EQ(w.sys.outline(), Strings{kHotplug});
    EXPECT_TRUE(w.host.status.empty());
}

TEST(Form1, ExplorerButtonTogglesOnItsCaption) {
    World w;
    w.api.processes = {{"explorer.exe", 100}, {"rundll32.exe", 200}};
    w.click(&app::Form1::Command3_Click);
    EXPECT_EQ(w.sys.outline(), (Strings{kSnapshot, "TerminateProcess(hproc100,0)",
                                        "status(2,已清除Explorer,请点击重启Explorer...)",
                                        "setCaption(Command3,重启Explorer)"}));
    EXPECT_EQ(w.host.captions[app::Button::Command3], texts::kCaptionRestartExplorer);
    EXPECT_EQ(w.host.status[2], texts::kStatusExplorerCleared);

    w.sys.entries.clear();
    w.click(&app::Form1::Command3_Click);
    EXPECT_EQ(w.sys.outline(),
              (Strings{"setCaption(Command3,清除Explorer)", "launch(explorer.exe,2)",
                       "status(2,已重启Explorer,您可尝试卸载U盘...)"}));
    EXPECT_EQ(w.host.captions[app::Button::Command3], texts::kCaptionClearExplorer);
    EXPECT_EQ(w.host.status[2], texts::kStatusExplorerRestarted);
}

TEST(Form1, ExplorerRestartThatFailsLeavesTheClearCaption) {
    World w;
    w.host.captions[app::Button::Command3] = L"重启Explorer";
    w.host.failLaunchAt = 1;
    EXPECT_FALSE(w.click(&app::Form1::Command3_Click));
    EXPECT_EQ(w.sys.outline(), (Strings{"setCaption(Command3,清除Explorer)",
                                        "launch(explorer.exe,2)", "reportError(launch)"}));
    EXPECT_EQ(w.host.captions[app::Button::Command3], L"清除Explorer");
    EXPECT_TRUE(w.host.status.empty());
}

TEST(Form1, ExplorerButtonWithAnUnknownCaptionDoesNothing) {
    for (const wchar_t* caption :
         {L"清除explorer", L"重启Explorer ", L" 清除Explorer", L"重启", L"", L"Clear Explorer"}) {
        SCOPED_TRACE(utf8(caption));
        World w;
        w.api.processes = {{"explorer.exe", 100}};
        w.host.captions[app::Button::Command3] = caption;
        EXPECT_TRUE(w.click(&app::Form1::Command3_Click));
        EXPECT_EQ(w.sys.all(), Strings{"buttonCaption(Command3)"});
        EXPECT_EQ(w.host.captions[app::Button::Command3], caption);
    }
}

// ---- the forced repair

struct Stage {
    Strings action;
    const char* piece;
    std::uint32_t pause;
};
// With explorer.exe running as pid 100 and rundll32.exe as pid 200.
const Stage kStages[] = {
    {{}, " ]正进行一键强力修复...", 2000},
    {{"clearClipboard"}, " ]已清空剪贴板...", 2000},
    {{kSnapshot, "TerminateProcess(hproc200,0)"}, " ]已清除相关进程...", 3000},
    {{kSnapshot, "TerminateProcess(hproc100,0)"}, " ]已清除E,正在重启...", 2000},
    {{"launch(explorer.exe,2)"}, " ]已重启E...", 2000},
    {{}, " ]一键强力修复完毕...", 0},
    {{}, " ]您可以尝试卸载U盘...", 1000},
};

// The log line of a stage written with the n-th time-of-day text.
std::string line(int stage, int n) {
    return "[ " + utf8(fake::FakeHost::timeText(n)) + kStages[stage].piece;
}

struct Repair : World {
    Repair() {
        api.processes = {{"explorer.exe", 100}, {"rundll32.exe", 200}};
        host.answers = {app::kAnswerYes};
    }
    bool run() { return click(&app::Form1::Command4_Click); }
    Strings lineTexts() const {
        Strings out;
        for (const std::wstring& text : host.lines) out.push_back(utf8(text));
        return out;
    }
};

TEST(Form1Repair, RunsTheSevenStagesInOrderWithTheirPauses) {
    Repair r;
    EXPECT_TRUE(r.run());

    Strings expected{kRepairBox, "enable(Command4,0)"};
    for (int i = 0; i < 7; ++i) {
        expected.insert(expected.end(), kStages[i].action.begin(), kStages[i].action.end());
        expected.push_back("listAppend(" + line(i, i) + ")");
        expected.push_back("listSelect(" + std::to_string(i) + ")");
    }
    expected.push_back("enable(Command4,1)");
    expected.push_back(kHotplug);
    EXPECT_EQ(r.sys.outline(), expected);

    const auto at = r.sys.timesOf("listAppend(");
    ASSERT_EQ(at.size(), 7u);
    for (int i = 0; i + 1 < 7; ++i) {
        EXPECT_EQ(at[i + 1] - at[i], kStages[i].pause) << "after stage " << i + 1;
    }
    EXPECT_EQ(r.sys.timesOf("enable(Command4,1)").at(0) - at[6], kStages[6].pause);

    EXPECT_EQ(r.host.selected, 6);
    EXPECT_TRUE(r.host.enabled[app::Button::Command4]);
    EXPECT_TRUE(r.host.status.empty());
    EXPECT_TRUE(r.host.errors.empty());
}

TEST(Form1Repair, AnswerOtherThanYesDoesNothing) {
    for (const int answer : {app::kAnswerNo, app::kAnswerCancel, 0}) {
        SCOPED_TRACE(answer);
        Repair r;
        r.host.answers = {answer};
        EXPECT_TRUE(r.run());
        EXPECT_EQ(r.sys.all(), Strings{kRepairBox});
        EXPECT_TRUE(r.host.lines.empty());
    }
}

TEST(Form1Repair, SecondRunAppendsSevenMoreLines) {
    Repair r;
    r.host.answers = {app::kAnswerYes, app::kAnswerYes};
    r.run();
    r.run();
    Strings expected;
    for (int i = 0; i < 14; ++i) expected.push_back(line(i % 7, i));
    EXPECT_EQ(r.lineTexts(), expected);
    EXPECT_EQ(r.host.selected, 13);
    EXPECT_EQ(r.sys.count("listRemove(0)"), 0);
}

TEST(Form1Repair, ClickDuringAPauseRunsInsideTheRun) {
    Repair r;
    bool clicked = false;
    r.host.onPump = [&] {
        if (r.host.lines.size() != 3 || clicked) return;
        clicked = true;
        app::runGuarded(r.host, [&] { r.form.Command1_Click(); });
    };
    EXPECT_TRUE(r.run());
    const Strings calls = r.sys.outline();
    const auto at = std::find(calls.begin(), calls.end(), "listSelect(2)");
    ASSERT_GE(std::distance(at, calls.end()), 4);
    EXPECT_EQ(Strings(at + 1, at + 4),
              (Strings{"clearClipboard", "status(2,已清空剪贴板,您可尝试卸载U盘...)", kSnapshot}));
    EXPECT_EQ(r.host.lines.size(), 7u);
    EXPECT_EQ(calls.back(), kHotplug);
    const auto lines = r.sys.timesOf("listAppend(");
    EXPECT_EQ(lines.at(3) - lines.at(2), 3000u);
}

// A close answered No after each line in turn. The run ends quietly where it
// was, but a shell it ended is started again, unless the session is ending.
TEST(Form1Repair, WindowClosedAfterAnyLineEndsTheRunAndNeverLeavesTheShellEnded) {
    const std::string kShell = "launch(explorer.exe,2)";
    const Strings closed = {kCloseBox, "unloadWindow"};
    struct Case {
        std::size_t closeAfter;
        bool sessionEnding;
        Strings follows;  // what follows the line's listSelect
    };
    const Case cases[] = {
        {1, false, closed},
        {2, false, closed},
        {3, false, closed},
        {4, false, {kCloseBox, "unloadWindow", kShell}},
        {4, true, closed},
        {5, false, closed},
        // No pause follows line 6: no close can come before line 7.
        {6, false, {"listAppend(" + line(6, 6) + ")", "listSelect(6)"}},
        {7, false, closed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "after line " << c.closeAfter
                                        << (c.sessionEnding ? ", session ending" : ""));
        Repair r;
        r.host.ending = c.sessionEnding;
        r.host.onPump = [&] {
            if (r.host.lines.size() != c.closeAfter || !r.host.alive) return;
            r.host.answers.push_back(app::kAnswerNo);
            std::int16_t cancel = 0;
            r.form.Form_QueryUnload(cancel, 0);
        };
        EXPECT_TRUE(r.run());
        const Strings calls = r.sys.outline();
        const auto at = std::find(calls.begin(), calls.end(),
                                  "listSelect(" + std::to_string(c.closeAfter - 1) + ")");
        ASSERT_NE(at, calls.end());
        if (c.closeAfter == 6) {
            EXPECT_EQ(Strings(at + 1, at + 3), c.follows);
            continue;
        }
        EXPECT_EQ(Strings(at + 1, calls.end()), c.follows);
        EXPECT_EQ(r.host.lines.size(), c.closeAfter);
        EXPECT_FALSE(r.host.enabled[app::Button::Command4]);
    }
}

// A failing stage ends the run there and is reported; the button lets the
// user try again. A shell already ended is started again before the report,
// unless the session is ending.
TEST(Form1Repair, FailingStageStopsTheRunAndReenablesTheButton) {
    const std::string kShell = "launch(explorer.exe,2)";
    const std::string kEnable = "enable(Command4,1)";
    // The log line after the shell was ended, and what comes before it.
    const Strings kLine4 = {"TerminateProcess(hproc100,0)", "listAppend(" + line(3, 3) + ")"};
    using Fail = int fake::FakeHost::*;
    struct Case {
        Fail fail;  // the operation that throws at its call `at`
        int at;
        bool sessionEnding;
        std::size_t lines;
        Strings last;  // the calls that end the run
    };
    const Case cases[] = {
        {&fake::FakeHost::failClearClipboardAt,
         1,
         false,
         1,
         {"listSelect(0)", "clearClipboard", kEnable, "reportError(clearClipboard)"}},
        {&fake::FakeHost::failLaunchAt,
         1,
         false,
         4,
         {"listSelect(3)", kShell, kEnable, "reportError(launch)"}},
        {&fake::FakeHost::failListAppendAt,
         4,
         false,
         3,
         {kLine4[0], kLine4[1], kShell, kEnable, "reportError(listAppend)"}},
        {&fake::FakeHost::failListAppendAt,
         4,
         true,
         3,
         {kLine4[0], kLine4[1], kEnable, "reportError(listAppend)"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.last.back() + (c.sessionEnding ? ", session ending" : ""));
        Repair r;
        r.host.*c.fail = c.at;
        r.host.ending = c.sessionEnding;
        EXPECT_FALSE(r.run());
        const Strings calls = r.sys.outline();
        ASSERT_GE(calls.size(), c.last.size());
        EXPECT_EQ(Strings(calls.end() - static_cast<std::ptrdiff_t>(c.last.size()), calls.end()),
                  c.last);
        EXPECT_EQ(r.host.lines.size(), c.lines);
        EXPECT_EQ(r.host.errors.size(), 1u);
        EXPECT_TRUE(r.host.enabled[app::Button::Command4]);
    }
}

// The close question answered while the clipboard was waited for: nothing
// is left to update or to report to.
TEST(Form1Repair, AWindowClosedDuringTheClipboardWaitEndsTheHandlerQuietly) {
    World single;
    single.host.closeDuringClearClipboardAt = 1;
    EXPECT_FALSE(single.click(&app::Form1::Command1_Click));
    EXPECT_EQ(single.sys.outline(), Strings{"clearClipboard"});
    EXPECT_TRUE(single.host.errors.empty());

    Repair r;
    r.host.closeDuringClearClipboardAt = 1;
    EXPECT_FALSE(r.run());
    const Strings calls = r.sys.outline();
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ(Strings(calls.end() - 2, calls.end()), (Strings{"listSelect(0)", "clearClipboard"}))
        << "no later stage, no button enabled again";
    EXPECT_TRUE(r.host.errors.empty());
}

TEST(Form1Repair, FullLogDropsItsOldestLines) {
    struct Case {
        std::size_t before;
        std::size_t removed;
    };
    // Empty, exact fit for seven more, one line short of that, full.
    for (const Case c : {Case{0, 0}, Case{32760, 0}, Case{32761, 1}, Case{32767, 7}}) {
        SCOPED_TRACE(c.before);
        Repair r;
        for (std::size_t i = 0; i < c.before; ++i)
            r.host.lines.push_back(L"old " + std::to_wstring(i));
        r.host.mostLines = r.host.lines.size();
        EXPECT_TRUE(r.run());
        ASSERT_EQ(r.host.lines.size(), c.before - c.removed + 7);
        EXPECT_LE(r.host.mostLines, 32767u);
        EXPECT_EQ(r.sys.count("listRemove(0)"), static_cast<int>(c.removed));
        if (c.before > c.removed) {
            EXPECT_EQ(r.host.lines.front(), L"old " + std::to_wstring(c.removed));
        }
        const Strings texts7 = r.lineTexts();
        Strings expected;
        for (int i = 0; i < 7; ++i) expected.push_back(line(i, i));
        EXPECT_EQ(Strings(texts7.end() - 7, texts7.end()), expected);
        EXPECT_EQ(r.host.selected, static_cast<int>(r.host.lines.size()) - 1);
    }
}

// ---- closing and the web links

TEST(Form1Close, PromptIsExact) {
    const std::wstring prompt = app::Form1::closePrompt();
    EXPECT_EQ(prompt, kClosePrompt);
    // Guards for the literal itself: the characters that look alike.
    EXPECT_EQ(prompt.find(L'\u3001'), 8u);  // ideographic comma after "Mirt"
    EXPECT_EQ(prompt.find_first_of(L"\uFF01\uFF1F\uFF0C\n"), std::wstring::npos);
    EXPECT_EQ(std::count(prompt.begin(), prompt.end(), L'\r'), 2);
    EXPECT_NE(prompt.find(L"!\r \r"), std::wstring::npos);
    EXPECT_EQ(prompt.back(), L'?');
}

TEST(Form1Close, Answers) {
    const std::string forum = "launch(explorer.exe " + utf8(texts::kForum) + ",2)";
    struct Case {
        int answer;
        Strings after;
        std::int16_t cancel;
    };
    const Case cases[] = {
        {app::kAnswerYes, {forum, "unloadWindow"}, 5},
        {app::kAnswerNo, {"unloadWindow"}, 5},
        {app::kAnswerCancel, {}, 1},
        {0, {}, 1},
        {1, {}, 1},
        {3, {}, 1},
        {-1, {}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer);
        World w;
        w.host.answers = {c.answer};
        std::int16_t cancel = 5;  // neither 0 nor 1, so that any write shows
        EXPECT_TRUE(app::runGuarded(w.host, [&] { w.form.Form_QueryUnload(cancel, 0); }));
        Strings expected{kCloseBox};
        expected.insert(expected.end(), c.after.begin(), c.after.end());
        EXPECT_EQ(w.sys.outline(), expected);
        EXPECT_EQ(cancel, c.cancel);
    }
}

TEST(Form1Close, FailingForumLaunchKeepsTheWindow) {
    World w;
    w.host.answers = {app::kAnswerYes};
    w.host.failLaunchAt = 1;
    std::int16_t cancel = 0;
    EXPECT_FALSE(app::runGuarded(w.host, [&] { w.form.Form_QueryUnload(cancel, 0); }));
    EXPECT_EQ(w.sys.outline(),
              (Strings{kCloseBox, "launch(explorer.exe " + utf8(texts::kForum) + ",2)",
                       "reportError(launch)"}));
    EXPECT_TRUE(w.host.alive);
    EXPECT_EQ(w.host.errors.size(), 1u);
}

TEST(Form1, WebLinksOpenSiteAndForumOnOneHost) {
    const std::wstring site = texts::kWebSite;
    const std::wstring forum = texts::kForum;
    ASSERT_TRUE(site.starts_with(L"http://"));
    const std::wstring hostName = site.substr(7, site.find(L'/', 7) - 7);
    EXPECT_FALSE(hostName.empty());
    EXPECT_EQ(site, L"http://" + hostName + L"/");
    EXPECT_EQ(forum, L"http://" + hostName + L"/bbs");

    World w;
    EXPECT_TRUE(w.click(&app::Form1::Option1_Click));
    EXPECT_TRUE(w.click(&app::Form1::Option2_Click));
    EXPECT_EQ(w.sys.outline(),
              (Strings{"launch(explorer.exe http://" + utf8(hostName) + "/,2)",
                       "launch(explorer.exe http://" + utf8(hostName) + "/bbs,2)"}));
}

}  // namespace
