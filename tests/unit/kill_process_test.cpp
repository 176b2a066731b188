#include "app/kill_process.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "tests/unit/fake_host.h"

namespace {

using Strings = std::vector<std::string>;
using Pids = std::vector<std::uint32_t>;

struct Walk {
    fake::FakeSystem sys;
    fake::FakeBindings api{sys};

    explicit Walk(std::vector<fake::FakeProcess> processes) {
        api.processes = std::move(processes);
    }
    void kill(const std::wstring& name) { app::KillProcess(api, name); }
};

TEST(KillProcess, CallsInOrderWithExactArguments) {
    Walk w({{"System", 4}, {"explorer.exe", 1500}, {"notepad.exe", 2200}});
    w.kill(L"explorer.exe");
    EXPECT_EQ(w.sys.effects(), (Strings{
                                   "CreateToolhelp32Snapshot(2,0)",
                                   "Process32First(hsnap,296)",
                                   "Process32Next(hsnap,296)",
                                   "OpenProcess(1,0,1500)",
                                   "TerminateProcess(hproc1500,0)",
                                   "CloseHandle(hproc1500)",
                                   "Process32Next(hsnap,296)",
                                   "Process32Next(hsnap,296)",
                                   "CloseHandle(hsnap)",
                               }));
    EXPECT_EQ(w.api.ended, Pids{1500});
    EXPECT_TRUE(w.api.openHandles.empty());
}

TEST(KillProcess, EndsEveryMatchInSnapshotOrder) {
    Walk w({{"rundll32.exe", 30},
            {"explorer.exe", 5},
            {"rundll32.exe", 10},
            {"svchost.exe", 8},
            {"rundll32.exe", 20}});
    w.kill(L"rundll32.exe");
    EXPECT_EQ(w.api.ended, (Pids{30, 10, 20}));
    ASSERT_EQ(w.api.processes.size(), 2u);
    EXPECT_EQ(w.api.processes[0].name, "explorer.exe");
    EXPECT_EQ(w.api.processes[1].name, "svchost.exe");
    // The record's size stays set for every fetch, the last one included.
    int fetches = 0;
    for (const std::string& call : w.sys.effects()) {
        if (!call.starts_with("Process32")) continue;
        ++fetches;
        EXPECT_TRUE(call.ends_with("(hsnap,296)")) << call;
    }
    EXPECT_EQ(fetches, 6);
    EXPECT_TRUE(w.api.openHandles.empty());
}

TEST(KillProcess, NameComparisonIgnoresCaseOnlyAndTakesTheWholeName) {
    struct Case {
        const char* entry;
        const wchar_t* wanted;
        bool ends;
    };
    const Case cases[] = {
        {"EXPLORER.EXE", L"explorer.exe", true},
        {"explorer.exe", L"Explorer.exe", true},
        {"rUnDlL32.ExE", L"RUNDLL32.exe", true},
        {"explorer.exe", L"explorer.exe", true},
        {"explorer", L"explorer.exe", false},
        {"explorer.ex", L"explorer.exe", false},
        {"explorer.exe", L"explorer", false},
        {"iexplorer.exe", L"explorer.exe", false},
        {"C:\\Windows\\explorer.exe", L"explorer.exe", false},
        {"explorer.exe ", L"explorer.exe", false},
        {" explorer.exe", L"explorer.exe", false},
        {"explorer.exe", L"explorer.exe ", false},
        {"", L"explorer.exe", false},
        {"rundll32.exe", L"explorer.exe", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("entry \"") + c.entry + "\" wanted \"" + fake::utf8(c.wanted) +
                     "\"");
        Walk w({{c.entry, 77}});
        w.kill(c.wanted);
        EXPECT_EQ(w.api.ended, c.ends ? Pids{77} : Pids{});
        EXPECT_EQ(w.sys.count("OpenProcess(1,0,77)"), c.ends ? 1 : 0);
    }
}

TEST(KillProcess, IgnoresWhatALongerEarlierNameLeftAfterTheNul) {
    // One record serves the whole walk, so "explorer.exe" arrives as
    // "explorer.exe\0ackup-copy.exe" after the longer name.
    const std::string fills260NoNul = "explorer.exe" + std::string(248, 'x');
    ASSERT_EQ(fills260NoNul.size(), 260u);
    Walk w({{"explorer.exe.backup-copy.exe", 1},
            {"explorer.exe", 2},
            {"EXPLORER.EXE_old", 3},
            {"EXPLORER.EXE", 4},
            {fills260NoNul, 5},
            {"explorer.exe", 6}});
    w.kill(L"explorer.exe");
    EXPECT_EQ(w.api.ended, (Pids{2, 4, 6}));
}

TEST(KillProcess, LongNamesUpToTheWholeField) {
    // Names of 260 bytes (no room for a NUL) and 259 bytes (NUL in the last byte).
    auto named = [](std::size_t length) { return std::string(length - 4, 'a') + ".exe"; };
    auto wide = [](const std::string& text) { return std::wstring(text.begin(), text.end()); };
    struct Case {
        std::size_t entryLength;
        std::wstring wanted;
        bool ends;
    };
    const Case cases[] = {
        {260, wide(named(260)), true},
        {260, wide(named(260)).substr(0, 259), false},
        {260, wide(named(260)) + L"x", false},
        {260, L"a.exe", false},
        {259, wide(named(259)), true},
        {259, wide(named(259)) + std::wstring(1, L'\0'), false},
        {259, wide(named(260)), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.entryLength) + " vs " + std::to_string(c.wanted.size()));
        // The fake flags any read past the 260-byte field.
        Walk w({{named(c.entryLength), 9}});
        w.kill(c.wanted);
        EXPECT_EQ(w.api.ended, c.ends ? Pids{9} : Pids{});
    }
}

TEST(KillProcess, ProcessThatCannotBeOpenedIsPassedOverAndTheWalkGoesOn) {
    Walk w({{"rundll32.exe", 5, false}, {"rundll32.exe", 6}});
    w.kill(L"rundll32.exe");
    EXPECT_EQ(w.sys.effects(), (Strings{
                                   "CreateToolhelp32Snapshot(2,0)",
                                   "Process32First(hsnap,296)",
                                   "OpenProcess(1,0,5)",
                                   "TerminateProcess(0,0)",
                                   "CloseHandle(0)",
                                   "Process32Next(hsnap,296)",
                                   "OpenProcess(1,0,6)",
                                   "TerminateProcess(hproc6,0)",
                                   "CloseHandle(hproc6)",
                                   "Process32Next(hsnap,296)",
                                   "CloseHandle(hsnap)",
                               }));
    EXPECT_EQ(w.api.ended, Pids{6});
}

TEST(KillProcess, FailedSnapshotEndsAtOnce) {
    Walk w({{"explorer.exe", 1}});
    w.api.snapshotResult = app::kInvalidHandleValue;
    ASSERT_EQ(app::kInvalidHandleValue, ~std::uintptr_t{0});
    w.kill(L"explorer.exe");
    EXPECT_EQ(w.sys.all(), Strings{"CreateToolhelp32Snapshot(2,0)"});
    EXPECT_TRUE(w.api.ended.empty());
}

TEST(KillProcess, FailedFirstFetchStillClosesTheSnapshot) {
    Walk w({{"explorer.exe", 1}});
    w.api.failFirstFetch = true;
    w.kill(L"explorer.exe");
    EXPECT_EQ(w.sys.effects(), (Strings{
                                   "CreateToolhelp32Snapshot(2,0)",
                                   "Process32First(hsnap,296)",
                                   "CloseHandle(hsnap)",
                               }));
    EXPECT_TRUE(w.api.ended.empty());
    EXPECT_TRUE(w.api.openHandles.empty());
}

}  // namespace
