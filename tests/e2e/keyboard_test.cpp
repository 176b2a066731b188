// Keyboard journeys with real key presses, as a user without a mouse makes
// them: every tab stop and back, the keys of a dialog box, a forced repair
// and a close request, and the focus never lost on the way.
#include <gtest/gtest.h>
#include <vector>

#include "resources/form1_design.h"
#include "tests/e2e/expected_texts.h"
#include "tests/e2e/harness.h"

namespace {

using e2e::expected::kClipboardDone;
using e2e::expected::kCloseTitle;
using e2e::expected::kProcessesDone;
using e2e::expected::kRepairTitle;

using e2e::pressKey;
using e2e::Program;

constexpr DWORD kRunTimeoutMs = 60000;

// Presses the key and waits for the focus to arrive on each control in turn.
void walk(const Program& p, WORD key, std::initializer_list<WORD> modifiers,
          const std::vector<int>& stops) {
    for (int id : stops) {
        SCOPED_TRACE(id);
        pressKey(p.window(), key, modifiers);
        ASSERT_TRUE(e2e::waitForFocus(p.window(), p.control(id)))
            << "focus on " << GetDlgCtrlID(e2e::focusIn(p.window()));
    }
}

bool checked(const Program& p, int id) {
    return SendMessageW(p.control(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

TEST(KeyboardJourney, TabArrowsSpaceEnterAndEscapeWorkAsInADialog) {
    ASSERT_TRUE(e2e::putTextOnClipboard(L"a document on the stick"));
    Program p;
    ASSERT_NE(p.window(), nullptr);
    ASSERT_TRUE(e2e::waitForFocus(p.window(), p.control(design::kCommand1)));

    // The reader's place in the notes, which tabbing in must keep.
    const HWND notes = p.control(design::kText1);
    SendMessageW(notes, EM_LINESCROLL, 0, 4);
    const LRESULT firstLine = SendMessageW(notes, EM_GETFIRSTVISIBLELINE, 0, 0);
    const LRESULT selection = SendMessageW(notes, EM_GETSEL, 0, 0);
    ASSERT_GT(firstLine, 0);

    ASSERT_NO_FATAL_FAILURE(walk(p, VK_TAB, {},
                                 {design::kCommand2, design::kCommand3, design::kCommand4,
                                  design::kList1, design::kCommand5, design::kText1}));
    EXPECT_EQ(SendMessageW(notes, EM_GETSEL, 0, 0), selection) << "nothing selected by tabbing in";
    EXPECT_EQ(SendMessageW(notes, EM_GETFIRSTVISIBLELINE, 0, 0), firstLine) << "not scrolled";
    // Out of the notes, on to the options, round to the start; then all the way back.
    ASSERT_NO_FATAL_FAILURE(
        walk(p, VK_TAB, {}, {design::kOption1, design::kOption2, design::kCommand1}));
    ASSERT_NO_FATAL_FAILURE(
        walk(p, VK_TAB, {VK_SHIFT},
             {design::kOption2, design::kOption1, design::kText1, design::kCommand5, design::kList1,
              design::kCommand4, design::kCommand3, design::kCommand2, design::kCommand1,
              design::kOption2}));

    // The arrows stay within the two options, selecting as they go.
    ASSERT_NO_FATAL_FAILURE(walk(p, VK_DOWN, {}, {design::kOption1}));
    EXPECT_TRUE(checked(p, design::kOption1));
    ASSERT_NO_FATAL_FAILURE(walk(p, VK_UP, {}, {design::kOption2}));
    EXPECT_TRUE(checked(p, design::kOption2));
    EXPECT_FALSE(checked(p, design::kOption1));
    // Each arrow opened its page once; the Tabs onto the options opened none.
    ASSERT_TRUE(p.waitForLaunches(2));
    EXPECT_EQ(p.settledLaunches().size(), 2u);

    // Esc in the notes is no close request; the Tab after it shows it was
    // read. A chosen option is the group's one tab stop, as in a dialog.
    ASSERT_NO_FATAL_FAILURE(walk(p, VK_TAB, {VK_SHIFT}, {design::kText1}));
    pressKey(p.window(), VK_ESCAPE);
    ASSERT_NO_FATAL_FAILURE(walk(p, VK_TAB, {}, {design::kOption2}));
    EXPECT_EQ(p.findMessageBox(kCloseTitle), nullptr);

    // Space and Enter press the focused button.
    ASSERT_NO_FATAL_FAILURE(walk(p, VK_TAB, {}, {design::kCommand1}));
    pressKey(p.window(), VK_SPACE);
    EXPECT_TRUE(e2e::waitUntil([&] { return p.statusText(2) == kClipboardDone; }));
    EXPECT_FALSE(e2e::clipboardHoldsData());
    ASSERT_NO_FATAL_FAILURE(walk(p, VK_TAB, {}, {design::kCommand2}));
    pressKey(p.window(), VK_RETURN);
    EXPECT_TRUE(e2e::waitUntil([&] { return p.statusText(2) == kProcessesDone; }));
    // Also a button the mouse focused: Enter presses Command2 again (it ends
    // the stand-in), not the button that had the keyboard before.
    ASSERT_NO_FATAL_FAILURE(walk(p, VK_TAB, {VK_SHIFT}, {design::kCommand1}));
    pressKey(p.window(), VK_SPACE);
    ASSERT_TRUE(e2e::waitUntil([&] { return p.statusText(2) == kClipboardDone; }));
    const RECT r = p.rect(design::kCommand2);
    e2e::clickAt(p.window(), {(r.left + r.right) / 2, (r.top + r.bottom) / 2});
    ASSERT_TRUE(e2e::waitUntil([&] { return p.statusText(2) == kProcessesDone; }));
    ASSERT_EQ(e2e::focusIn(p.window()), p.control(design::kCommand2));
    e2e::TempDir dir(L"keys");
    const e2e::Process dialog = e2e::startNamed(dir, L"rundll32.exe");
    pressKey(p.window(), VK_RETURN);
    EXPECT_TRUE(dialog.waitForExit());
    EXPECT_TRUE(p.process().running());
    EXPECT_EQ(p.settledLaunches().size(), 2u) << "tabbing over the options again opened nothing";
}

TEST(KeyboardJourney, ForcedRepairAndCloseRequestsKeepTheKeyboardAlive) {
    Program p;
    ASSERT_NE(p.window(), nullptr);
    ASSERT_TRUE(e2e::waitForFocus(p.window(), p.control(design::kCommand1)));
    ASSERT_NO_FATAL_FAILURE(
        walk(p, VK_TAB, {}, {design::kCommand2, design::kCommand3, design::kCommand4}));
    pressKey(p.window(), VK_RETURN);
    const HWND question = p.waitForMessageBox(kRepairTitle);
    ASSERT_NE(question, nullptr);
    pressKey(question, VK_RETURN);  // Yes, the box's default

    // Command4 is disabled for the run; the focus went on to the next stop
    // and Tab still moves it.
    const HWND command4 = p.control(design::kCommand4);
    ASSERT_TRUE(e2e::waitUntil([&] { return !IsWindowEnabled(command4); }));
    EXPECT_TRUE(e2e::waitForFocus(p.window(), p.control(design::kList1)));
    ASSERT_NO_FATAL_FAILURE(walk(p, VK_TAB, {}, {design::kCommand5}));
    ASSERT_TRUE(e2e::waitUntil([&] { return IsWindowEnabled(command4) != FALSE; }, kRunTimeoutMs));

    // Alt+F4 asks once; Esc in the question is Cancel, and the focus comes back.
    const HWND before = e2e::focusIn(p.window());
    pressKey(p.window(), VK_F4, {VK_MENU});
    const HWND close = p.waitForMessageBox(kCloseTitle);
    ASSERT_NE(close, nullptr);
    pressKey(close, VK_ESCAPE);
    ASSERT_TRUE(e2e::waitUntil([&] { return p.findMessageBox(kCloseTitle) == nullptr; }));
    EXPECT_TRUE(e2e::waitForFocus(p.window(), before));
    ASSERT_NO_FATAL_FAILURE(walk(p, VK_TAB, {}, {design::kText1}));
    EXPECT_EQ(p.findMessageBox(kCloseTitle), nullptr) << "asked a second time";

    // The system menu's Close asks once too.
    PostMessageW(p.window(), WM_SYSCOMMAND, SC_CLOSE, 0);
    const HWND again = p.waitForMessageBox(kCloseTitle);
    ASSERT_NE(again, nullptr);
    Program::answer(again, IDCANCEL);
    ASSERT_TRUE(e2e::waitUntil([&] { return p.findMessageBox(kCloseTitle) == nullptr; }));
    ASSERT_NO_FATAL_FAILURE(walk(p, VK_TAB, {}, {design::kOption1}));
    EXPECT_EQ(p.findMessageBox(kCloseTitle), nullptr) << "asked a second time";
    EXPECT_TRUE(IsWindow(p.window()));
}

}  // namespace
