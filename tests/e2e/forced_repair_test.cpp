// The one-click forced repair: a question first, then seven logged steps
// with pauses between them, then the safely-remove-hardware dialog.
#include <algorithm>
#include <array>
#include <gtest/gtest.h>
#include <regex>

#include "resources/form1_design.h"
#include "tests/e2e/expected_texts.h"
#include "tests/e2e/harness.h"

namespace {

using e2e::expected::kRepairTitle;

using e2e::Program;

constexpr wchar_t kPrompt[] =
    L"一键强力修复具有一定的风险性,但确保不会损坏您的计算机系统,是否继续?";
constexpr wchar_t kLoaded[] = L"程序已加载完毕...";
constexpr wchar_t kDialog[] = L"RUNDLL32.EXE shell32.dll,Control_RunDLL hotplug.dll";
constexpr size_t kLinesPerRun = 7;

// What follows the time on each line of a run, in order.
const std::array<std::wstring, kLinesPerRun> kPieces = {
    L" ]正进行一键强力修复...", L" ]已清空剪贴板...", L" ]已清除相关进程...",
    L" ]已清除E,正在重启...",   L" ]已重启E...",      L" ]一键强力修复完毕...",
    L" ]您可以尝试卸载U盘...",
};

// A full run lasts about twelve seconds; this leaves room for a slow machine.
constexpr DWORD kRunTimeoutMs = 60000;

using e2e::narrow;

struct LogLine {
    std::wstring time;
    std::wstring piece;
};

// "[ " + time + piece; the piece is the part from " ]" on.
LogLine split(const std::wstring& line) {
    const size_t close = line.find(L" ]");
    if (line.rfind(L"[ ", 0) != 0 || close == std::wstring::npos) return {};
    return {line.substr(2, close - 2), line.substr(close)};
}

// Seconds into a twelve-hour half day: gaps come out right in a 12- or
// 24-hour format alike.
int halfDaySeconds(const std::wstring& time) {
    static const std::wregex clock(L"^\\D*(\\d{1,2}):(\\d{2}):(\\d{2})\\D*$");
    std::wsmatch m;
    if (!std::regex_match(time, m, clock)) return -1;
    return (std::stoi(m[1].str()) % 12) * 3600 + std::stoi(m[2].str()) * 60 + std::stoi(m[3].str());
}

int gapSeconds(const std::wstring& from, const std::wstring& to) {
    return (halfDaySeconds(to) - halfDaySeconds(from) + 12 * 3600) % (12 * 3600);
}

ULONGLONG wholeSecondsNow() {
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    return (ULARGE_INTEGER{{now.dwLowDateTime, now.dwHighDateTime}}.QuadPart) / 10000000ull;
}

// The local time of day in the user's long format (with seconds) for every
// whole second from..to.
std::vector<std::wstring> longTimesBetween(ULONGLONG from, ULONGLONG to) {
    std::vector<std::wstring> texts;
    for (ULONGLONG second = from; second <= to; ++second) {
        ULARGE_INTEGER value{};
        value.QuadPart = second * 10000000ull;
        const FILETIME utc{value.LowPart, value.HighPart};
        FILETIME local{};
        FileTimeToLocalFileTime(&utc, &local);
        SYSTEMTIME t{};
        FileTimeToSystemTime(&local, &t);
        std::array<wchar_t, 80> text{};
        GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &t, nullptr, text.data(),
                       static_cast<int>(text.size()));
        texts.push_back(text.data());
    }
    return texts;
}

bool waitForLines(const Program& program, size_t count) {
    return e2e::waitUntil([&] { return program.listItems().size() >= count; }, kRunTimeoutMs);
}

bool buttonEnabled(const Program& program) {
    return IsWindowEnabled(program.control(design::kCommand4));
}

// Clicks the button and answers Yes to its question.
void startRun(const Program& program) {
    program.click(design::kCommand4);
    const HWND box = program.waitForMessageBox(kRepairTitle);
    ASSERT_NE(box, nullptr);
    Program::answer(box, IDYES);
}

void expectRunPieces(const std::vector<std::wstring>& items, size_t first) {
    ASSERT_GE(items.size(), first + kLinesPerRun);
    for (size_t i = 0; i < kLinesPerRun; ++i) {
        SCOPED_TRACE(first + i);
        EXPECT_EQ(split(items[first + i]).piece, kPieces[i]);
    }
}

void expectLaunchOfDialog(const e2e::Launch& launch) {
    EXPECT_TRUE(e2e::sameFile(launch.path, e2e::systemDir() + L"\\rundll32.exe"))
        << narrow(launch.path);
    EXPECT_EQ(launch.commandLine, kDialog);
    EXPECT_EQ(launch.show, SW_SHOWNORMAL);
}

TEST(ForcedRepair, AsksFirstAndNoLeavesEverythingAsItWas) {
    e2e::TempDir dir(L"repair");
    std::vector<e2e::Process> dialogs;
    for (int i = 0; i < 2; ++i) dialogs.push_back(e2e::startNamed(dir, L"rundll32.exe"));
    Program program;
    ASSERT_NE(program.window(), nullptr);
    // Filled once the program's window is up: under Wine, a desktop process
    // that an earlier test ended comes back with the first window and takes
    // the clipboard over, empty.
    ASSERT_TRUE(e2e::putTextOnClipboard(L"a document on the stick"));

    program.click(design::kCommand4);
    const HWND box = program.waitForMessageBox(kRepairTitle);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(Program::messageBoxText(box), kPrompt);
    EXPECT_EQ(Program::messageBoxButtons(box), (std::vector<int>{IDYES, IDNO}));
    EXPECT_TRUE(program.listItems().empty()) << "nothing happens before the answer";
    Program::answer(box, IDNO);
    ASSERT_TRUE(e2e::waitUntil([&] { return program.findMessageBox(kRepairTitle) == nullptr; }));

    // Had the run started, its first line would be written before the
    // program next looks at its messages.
    ASSERT_TRUE(program.sync());
    EXPECT_TRUE(program.listItems().empty());
    EXPECT_TRUE(buttonEnabled(program));
    EXPECT_TRUE(e2e::clipboardHoldsData());
    for (const auto& d : dialogs) EXPECT_TRUE(d.running());
    EXPECT_EQ(program.statusText(2), kLoaded);
    EXPECT_TRUE(program.settledLaunches().empty());
    EXPECT_TRUE(program.process().running());
}

TEST(ForcedRepair, AFullRunLogsSevenTimedStepsThenOpensTheDialog) {
    e2e::TempDir dir(L"repair");
    std::vector<e2e::Process> dialogs;
    std::vector<e2e::Process> shells;
    for (int i = 0; i < 2; ++i) {
        dialogs.push_back(e2e::startNamed(dir, L"rundll32.exe"));
        shells.push_back(e2e::startNamed(dir, L"explorer.exe"));
    }
    ASSERT_TRUE(e2e::putTextOnClipboard(L"a document on the stick"));
    Program program;
    ASSERT_NE(program.window(), nullptr);

    const ULONGLONG answered = wholeSecondsNow();
    ASSERT_NO_FATAL_FAILURE(startRun(program));
    ASSERT_TRUE(waitForLines(program, 1));
    const ULONGLONG firstSeen = wholeSecondsNow();
    EXPECT_FALSE(buttonEnabled(program)) << "no second run while one is under way";

    // A step does its work, then writes its line.
    ASSERT_TRUE(waitForLines(program, 2));
    EXPECT_FALSE(e2e::clipboardHoldsData());
    ASSERT_TRUE(waitForLines(program, 3));
    for (const auto& d : dialogs) {
        EXPECT_TRUE(d.waitForExit());
        EXPECT_EQ(d.exitCode(), 0u) << "ended with exit code 0";
    }
    ASSERT_TRUE(waitForLines(program, 4));
    for (const auto& s : shells) {
        EXPECT_TRUE(s.waitForExit());
        EXPECT_EQ(s.exitCode(), 0u) << "ended with exit code 0";
    }
    // The dialogs went at the third step, the shells at the fourth, three
    // seconds on (2.9 s in 100 ns units leaves a clock tick's margin).
    ULONGLONG lastDialogEnded = 0;
    ULONGLONG firstShellEnded = ~0ull;
    for (const auto& d : dialogs) lastDialogEnded = std::max(lastDialogEnded, d.exitTime());
    for (const auto& s : shells) firstShellEnded = std::min(firstShellEnded, s.exitTime());
    EXPECT_GE(firstShellEnded, lastDialogEnded + 29000000ull);
    ASSERT_TRUE(waitForLines(program, 5));
    ASSERT_TRUE(program.waitForLaunches(1));
    e2e::expectLaunchOfShell(program.launches().at(0));
    EXPECT_FALSE(buttonEnabled(program));
    ASSERT_TRUE(waitForLines(program, 6));
    EXPECT_FALSE(buttonEnabled(program));

    ASSERT_TRUE(waitForLines(program, kLinesPerRun));
    ASSERT_TRUE(e2e::waitUntil([&] { return buttonEnabled(program); }, kRunTimeoutMs));
    ASSERT_TRUE(program.waitForLaunches(2));
    const auto launches = program.launches();
    ASSERT_EQ(launches.size(), 2u);
    e2e::expectLaunchOfShell(launches[0]);
    expectLaunchOfDialog(launches[1]);

    const std::vector<std::wstring> items = program.listItems();
    ASSERT_EQ(items.size(), kLinesPerRun);
    expectRunPieces(items, 0);
    std::vector<std::wstring> times;
    for (size_t i = 0; i < items.size(); ++i) {
        SCOPED_TRACE(i);
        const std::wstring& item = items[i];
        EXPECT_EQ(item.rfind(L"[ ", 0), 0u);
        const std::wstring time = split(item).time;
        EXPECT_GE(halfDaySeconds(time), 0) << "a time of day with seconds: " << narrow(time);
        times.push_back(time);
    }
    // The first time is the clock's, in the user's long format.
    const auto expected = longTimesBetween(answered - 1, firstSeen);
    EXPECT_NE(std::find(expected.begin(), expected.end(), times[0]), expected.end())
        << narrow(times[0]);
    // Whole seconds: each pause may show one second longer or shorter.
    const int pauses[] = {2, 2, 3, 2, 2};
    for (size_t i = 0; i < 5; ++i) {
        SCOPED_TRACE(i + 1);
        EXPECT_NEAR(gapSeconds(times[i], times[i + 1]), pauses[i], 1);
    }
    EXPECT_LE(gapSeconds(times[5], times[6]), 1) << "the last two lines come together";
    // A pause lasts at least its length, so whole seconds cannot undercount the sum.
    EXPECT_GE(gapSeconds(times[0], times[5]), 11);

    EXPECT_EQ(program.listSelection(), 6) << "the last line is selected";
    EXPECT_EQ(program.statusText(2), kLoaded) << "the run does not write the status bar";
    EXPECT_TRUE(program.process().running());
}

TEST(ForcedRepair, OtherButtonsAnswerDuringItsPausesAndASecondRunAppendsSevenMore) {
    Program program;
    ASSERT_NE(program.window(), nullptr);
    ASSERT_NO_FATAL_FAILURE(startRun(program));
    ASSERT_TRUE(waitForLines(program, 1));
    program.click(design::kCommand1);
    ASSERT_TRUE(e2e::waitUntil(
        [&] { return program.statusText(2) == L"已清空剪贴板,您可尝试卸载U盘..."; }));
    EXPECT_LT(program.listItems().size(), kLinesPerRun)
        << "handled while the run was still under way";

    ASSERT_TRUE(waitForLines(program, kLinesPerRun));
    ASSERT_TRUE(e2e::waitUntil([&] { return buttonEnabled(program); }, kRunTimeoutMs));
    ASSERT_TRUE(program.waitForLaunches(2));
    const std::vector<std::wstring> firstRun = program.listItems();

    ASSERT_NO_FATAL_FAILURE(startRun(program));
    ASSERT_TRUE(waitForLines(program, 2 * kLinesPerRun));
    ASSERT_TRUE(e2e::waitUntil([&] { return buttonEnabled(program); }, kRunTimeoutMs));
    ASSERT_TRUE(program.waitForLaunches(4));

    const std::vector<std::wstring> items = program.listItems();
    ASSERT_EQ(items.size(), 2 * kLinesPerRun);
    EXPECT_TRUE(std::equal(firstRun.begin(), firstRun.end(), items.begin()))
        << "the first run's lines stay";
    expectRunPieces(items, 0);
    expectRunPieces(items, kLinesPerRun);
    EXPECT_EQ(program.listSelection(), 13);
    const auto launches = program.launches();
    ASSERT_EQ(launches.size(), 4u);
    e2e::expectLaunchOfShell(launches[0]);
    expectLaunchOfDialog(launches[1]);
    e2e::expectLaunchOfShell(launches[2]);
    expectLaunchOfDialog(launches[3]);
}

}  // namespace
