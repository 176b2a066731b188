// What a screen reader hears, asked from this process through the
// accessibility interface as Narrator and NVDA ask.
#include <windows.h>

#include <gtest/gtest.h>
#include <oleacc.h>

#include "resources/form1_design.h"
#include "tests/e2e/expected_texts.h"
#include "tests/e2e/harness.h"

namespace {

using e2e::Program;

// Everything a reader reads of a control but its name: the standard
// object's answers.
void expectStandardApartFromTheName(HWND control, const e2e::AccessibleReading& read) {
    const e2e::AccessibleReading standard = e2e::readStandardAccessible(control);
    ASSERT_TRUE(standard.found);
    EXPECT_EQ(read.role, standard.role);
    EXPECT_EQ(read.state, standard.state);
    EXPECT_EQ(read.value, standard.value);
    EXPECT_EQ(read.childNames, standard.childNames);
}

// The log and the notes are named after their group boxes; the rest of what
// a reader reads is the standard controls': a list with each log line as an
// item (which Wine's list object does not give), and an edit box whose value
// is the notes.
TEST(ScreenReaders, HearTheLogAndTheNotesNamedAfterTheirGroupBoxes) {
    Program program;
    ASSERT_NE(program.window(), nullptr);
    program.click(design::kCommand4);
    const HWND box = program.waitForMessageBox(e2e::expected::kRepairTitle);
    ASSERT_NE(box, nullptr);
    Program::answer(box, IDYES);
    ASSERT_TRUE(e2e::waitUntil([&] { return !program.listItems().empty(); }));

    const HWND list = program.control(design::kList1);
    const e2e::AccessibleReading log = e2e::readAccessible(list);
    ASSERT_TRUE(log.found);
    EXPECT_EQ(log.name, L"强力排除过程");
    expectStandardApartFromTheName(list, log);

    const HWND edit = program.control(design::kText1);
    const e2e::AccessibleReading notes = e2e::readAccessible(edit);
    ASSERT_TRUE(notes.found);
    EXPECT_EQ(notes.name, L"程序相关说明");
    EXPECT_EQ(notes.role, ROLE_SYSTEM_TEXT);
    EXPECT_EQ(notes.value, design::kNotes);
    expectStandardApartFromTheName(edit, notes);
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
