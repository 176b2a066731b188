// What a screen reader gets: the log and the notes named, and each step's
// result spoken as a live region's change. The names and the live setting are
// annotations, which the recording service registered for the test shows
// (Wine's own keeps none); the events are seen as any reader sees them.
#include <windows.h>

#include <gtest/gtest.h>

#include "resources/form1_design.h"
#include "tests/e2e/expected_texts.h"
#include "tests/e2e/harness.h"

namespace {

using e2e::Program;
using e2e::Record;

constexpr const wchar_t* kAccName = e2e::kAccNameProperty;
constexpr const wchar_t* kUiaName = e2e::kUiaNameProperty;
constexpr const wchar_t* kLiveSetting = e2e::kLiveSettingProperty;
constexpr wchar_t kPolite[] = L"i4:1";

// The client object of a window, or one of its children, as recorded.
std::wstring clientOf(HWND window, long child = CHILDID_SELF) {
    return std::to_wstring(reinterpret_cast<ULONG_PTR>(window)) + L"\t" +
           std::to_wstring(OBJID_CLIENT) + L"\t" + std::to_wstring(child);
}

// The records of one kind, each joined back into one line without its kind.
std::vector<std::wstring> recorded(const Program& program, const wchar_t* kind) {
    std::vector<std::wstring> lines;
    for (const Record& r : program.records()) {
        if (r.empty() || r[0] != kind) continue;
        std::wstring line;
        for (size_t i = 1; i < r.size(); ++i) line += (i > 1 ? L"\t" : L"") + r[i];
        lines.push_back(line);
    }
    return lines;
}

// The log and the notes are named after their group boxes, by annotation:
// the controls keep the system's accessible objects (WM_GETOBJECT is left to
// the standard answer), and the names are set the first time a reader asks,
// before that answer, not at start, and announced as changed names. The message panel becomes a
// polite live region with the first result a step writes. All of it is taken back when the window
// goes.
TEST(ScreenReaders, GetTheLogAndTheNotesNamedAndTheMessagePanelLiveByAnnotation) {
    const e2e::RecordingAnnotations recording;
    ASSERT_TRUE(recording.installed());
    e2e::WinEvents nameChanges(EVENT_OBJECT_NAMECHANGE);
    ASSERT_TRUE(nameChanges.hooked());
    Program program;
    ASSERT_NE(program.window(), nullptr);
    ASSERT_TRUE(program.sync());
    EXPECT_TRUE(recorded(program, L"annotate").empty()) << "nothing before a reader asks";

    const HWND list = program.control(design::kList1);
    const HWND notes = program.control(design::kText1);
    for (const HWND control : {list, notes}) {
        DWORD_PTR answer = 0xDEAD;
        ASSERT_NE(SendMessageTimeoutW(control, WM_GETOBJECT, 0, OBJID_CLIENT, SMTO_NORMAL, 10000,
                                      &answer),
                  0);
        EXPECT_EQ(answer, 0u) << "the control leaves its object to the system";
    }
    const std::wstring logName = L"强力排除过程";
    const std::wstring notesName = L"程序相关说明";
    const std::vector<std::wstring> names = {
        clientOf(list) + L"\t" + kAccName + L"\t" + logName,
        clientOf(list) + L"\t" + kUiaName + L"\t" + logName,
        clientOf(notes) + L"\t" + kAccName + L"\t" + notesName,
        clientOf(notes) + L"\t" + kUiaName + L"\t" + notesName};
    // Already there when the first answer came back.
    EXPECT_EQ(recorded(program, L"annotate"), names);
    // And readers that looked before are told each client object's name changed.
    for (const HWND control : {list, notes}) {
        ASSERT_TRUE(nameChanges.waitFor(control, 1));
        const auto events = nameChanges.from(control);
        ASSERT_EQ(events.size(), 1u);
        EXPECT_EQ(events[0].object, OBJID_CLIENT);
        EXPECT_EQ(events[0].child, CHILDID_SELF);
    }

    program.click(design::kCommand1);
    ASSERT_TRUE(e2e::waitUntil([&] { return recorded(program, L"annotate").size() > 4; }));
    program.click(design::kCommand1);
    ASSERT_TRUE(program.sync());
    const HWND bar = program.control(design::kS1);
    const std::wstring live = clientOf(bar, design::kMessagePanel) + L"\t" + kLiveSetting;
    std::vector<std::wstring> all = names;
    all.push_back(live + L"\t" + kPolite);
    EXPECT_EQ(recorded(program, L"annotate"), all) << "marked once";

    program.close();
    const HWND box = program.waitForMessageBox(e2e::expected::kCloseTitle);
    ASSERT_NE(box, nullptr);
    Program::answer(box, IDNO);
    ASSERT_TRUE(program.process().waitForExit(30000));
    const std::vector<std::wstring> cleared = {
        clientOf(list) + L"\t" + kAccName, clientOf(list) + L"\t" + kUiaName,
        clientOf(notes) + L"\t" + kAccName, clientOf(notes) + L"\t" + kUiaName, live};
    EXPECT_EQ(recorded(program, L"clear"), cleared);
}

// A step's result is a live region's change, which readers speak without
// the focus moving; what the program writes at start, the clock included, is not.
TEST(ScreenReaders, AreToldOfEachStepsResultButNotOfTheStartUpTextsOrTheClock) {
    e2e::WinEvents live(EVENT_OBJECT_LIVEREGIONCHANGED);
    ASSERT_TRUE(live.hooked());
    Program program;
    ASSERT_NE(program.window(), nullptr);
    const HWND bar = program.control(design::kS1);
    ASSERT_FALSE(program.statusText(3).empty()) << "the clock was written";
    // The clock is brought up to date on a time change as well.
    PostMessageW(program.window(), WM_TIMECHANGE, 0, 0);

    program.click(design::kCommand1);
    ASSERT_TRUE(live.waitFor(bar, 1));
    EXPECT_EQ(program.statusText(2), e2e::expected::kClipboardDone);
    // Nothing comes after it.
    ASSERT_TRUE(program.sync());
    EXPECT_FALSE(live.waitFor(bar, 2, 500));
    const auto events = live.from(bar);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].object, OBJID_CLIENT);
    EXPECT_EQ(events[0].child, design::kMessagePanel);
}

}  // namespace
