// The harness itself, where a fault would let the other tests pass wrongly
// or do harm: readable failure messages, copies that are checked, and a run
// that refuses to start anywhere but under Wine.
#include "tests/e2e/harness.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include "tests/support/text.h"
#include "tests/support/wine.h"
#include "win32/handles.h"

namespace {

TEST(Harness, FailureMessagesShowChineseAsUtf8) {
    EXPECT_EQ(e2e::narrow(L"清空剪贴板"),
              "\xE6\xB8\x85\xE7\xA9\xBA\xE5\x89\xAA\xE8\xB4\xB4\xE6\x9D\xBF");
    // Beyond sixteen bits: one character of four bytes, not two halves.
    EXPECT_EQ(e2e::narrow(L"\U00020BB7"), "\xF0\xA0\xAE\xB7");
    EXPECT_EQ(e2e::narrow(L""), "");
}

TEST(Harness, AFailedCopyFailsTheTestAndNothingIsStarted) {
    {
        SCOPED_TRACE("a file to plant beside the program is missing");
        e2e::ProgramOptions options;
        options.planted = {{e2e::buildDir() + L"\\no-such-file.dll", L"winmm.dll"}};
        bool started = true;
        EXPECT_NONFATAL_FAILURE(
            {
                e2e::Program program(options);
                started = program.process().handle() != nullptr;
            },
            "cannot copy");
        EXPECT_FALSE(started);
    }
    {
        SCOPED_TRACE("the system's explorer.exe cannot be replaced by the stand-in");
        const std::wstring shell = e2e::windowsDir() + L"\\explorer.exe";
        const win32::UniqueHandle held = win32::ownFileHandle(CreateFileW(
            shell.c_str(), GENERIC_READ, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(held);
        bool started = true;
        EXPECT_NONFATAL_FAILURE(
            {
                e2e::Program program;
                started = program.process().handle() != nullptr;
            },
            "cannot copy");
        EXPECT_FALSE(started);
    }
}

// Runs this test program again with the environment variable that makes it
// refuse as on Windows; what it printed, and its exit code.
std::pair<std::string, DWORD> runSelfActingAsWindows(const std::wstring& filter) {
    e2e::TempDir dir(L"self");
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    const win32::UniqueHandle output = win32::ownFileHandle(
        CreateFileW(dir.file(L"out.txt").c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    std::wstring self(MAX_PATH, L'\0');
    self.resize(GetModuleFileNameW(nullptr, self.data(), MAX_PATH));
    std::wstring commandLine = L"\"" + self + L"\" --gtest_filter=" + filter;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = startup.hStdError = output.get();
    PROCESS_INFORMATION info{};
    SetEnvironmentVariableW(L"E2E_ACT_AS_WINDOWS", L"1");
    const BOOL created = CreateProcessW(self.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0,
                                        nullptr, nullptr, &startup, &info);
    SetEnvironmentVariableW(L"E2E_ACT_AS_WINDOWS", nullptr);
    if (!created) return {"cannot start " + e2e::narrow(self), 0};
    const support::Process child(info.hProcess, info.dwProcessId);
    const win32::UniqueHandle thread(info.hThread);
    child.waitForExit(60000);
    return {support::readFileBytes(dir.file(L"out.txt")), child.exitCode()};
}

TEST(Harness, RefusesToRunAnyTestOutsideWine) {
    EXPECT_TRUE(support::isWineNtdll(GetModuleHandleW(L"ntdll.dll")));
    EXPECT_FALSE(support::isWineNtdll(GetModuleHandleW(L"kernel32.dll")))
        << "a module that lacks Wine's export";
    EXPECT_FALSE(support::isWineNtdll(nullptr));

    // A test that would replace the shell and end processes is skipped
    // before its body runs.
    const std::string test = "ClearProcesses.SaysSoWhenNoneRuns";
    const auto [output, exitCode] = runSelfActingAsWindows(support::widen(test));
    EXPECT_NE(output.find("Not under Wine"), std::string::npos) << output;
    EXPECT_NE(output.find("[  SKIPPED ] " + test), std::string::npos) << output;
    EXPECT_EQ(output.find("[       OK ]"), std::string::npos) << output;
    EXPECT_NE(exitCode, 0u);
}

}  // namespace
