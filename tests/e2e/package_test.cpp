// The portable zip as a user gets it: unpacked (by unpack-package.sh, this
// test's fixture) into a folder whose path holds spaces and Chinese, the
// program runs from there with nothing but what the zip holds.
#include <windows.h>
// tlhelp32.h needs windows.h first.
#include <array>
#include <gtest/gtest.h>
#include <string>
#include <tlhelp32.h>
#include <vector>

#include "resources/form1_design.h"
#include "resources/resource_ids.h"
#include "tests/e2e/expected_texts.h"
#include "tests/e2e/harness.h"

namespace {

using e2e::expected::kCaption;

using e2e::Program;

// Where the fixture unpacked the zip, beside this test program.
std::wstring unpackedFolder() {
    return e2e::buildDir() + L"\\package-test\\便携 测试 folder\\ZelkUsbTool-" APP_VERSION_TEXT;
}

Program startUnpacked() {
    e2e::ProgramOptions options;
    options.runInPlace = unpackedFolder() + L"\\ZelkUsbTool.exe";
    return Program(options);
}

std::wstring captionOf(HWND window) {
    std::array<wchar_t, 128> caption{};
    GetWindowTextW(window, caption.data(), static_cast<int>(caption.size()));
    return caption.data();
}

// The files of every module loaded in the process.
std::vector<std::wstring> modulesOf(DWORD processId) {
    std::vector<std::wstring> paths;
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, processId);
    if (snapshot == INVALID_HANDLE_VALUE) return paths;
    MODULEENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Module32FirstW(snapshot, &entry); more;
         more = Module32NextW(snapshot, &entry)) {
        paths.push_back(entry.szExePath);
    }
    CloseHandle(snapshot);
    return paths;
}

bool isUnder(const std::wstring& path, const std::wstring& folder) {
    return path.size() > folder.size() && path[folder.size()] == L'\\' &&
           _wcsnicmp(path.c_str(), folder.c_str(), folder.size()) == 0;
}

TEST(PortablePackage, TheUnpackedProgramShowsItsWindow) {
    const std::wstring exe = unpackedFolder() + L"\\ZelkUsbTool.exe";
    ASSERT_NE(GetFileAttributesW(exe.c_str()), INVALID_FILE_ATTRIBUTES)
        << "not unpacked: run the fixture";
    Program program(startUnpacked());
    ASSERT_NE(program.window(), nullptr);
    EXPECT_EQ(captionOf(program.window()), kCaption);
    EXPECT_EQ(program.statusText(2), app::texts::kStatusLoaded);

    // The skin file is found although its folder's name is not in the ANSI
    // code page: the window shows the default skin's background.
    POINT at{300, 405};
    ClientToScreen(program.window(), &at);
    EXPECT_TRUE(e2e::waitUntil(
        [&] {
            const HDC screen = GetDC(nullptr);
            const COLORREF colour = GetPixel(screen, at.x, at.y);
            ReleaseDC(nullptr, screen);
            return colour == RGB(0xDD, 0xE8, 0xF3);
        },
        5000));
}

TEST(PortablePackage, NeedsNothingButTheSystemAndTheFilesBesideIt) {
    Program program(startUnpacked());
    ASSERT_NE(program.window(), nullptr);
    const std::vector<std::wstring> modules = modulesOf(program.process().id());
    ASSERT_FALSE(modules.empty());
    const std::wstring folder = unpackedFolder();
    bool skinLibrary = false;
    for (const std::wstring& path : modules) {
        if (e2e::sameFile(path, folder + L"\\SkinH_VB6.dll")) skinLibrary = true;
        if (isUnder(path, folder)) continue;
        EXPECT_TRUE(isUnder(path, e2e::windowsDir())) << "loaded from elsewhere: " << path;
    }
    EXPECT_TRUE(skinLibrary) << "the skinning library beside the program is loaded";
}

TEST(PortablePackage, TheUnpackedProgramEndsRundll32) {
    e2e::TempDir dir(L"rundll");
    e2e::Process victim = e2e::startNamed(dir, L"rundll32.exe");
    ASSERT_TRUE(victim.running());
    Program program(startUnpacked());
    ASSERT_NE(program.window(), nullptr);
    program.click(design::kCommand2);
    EXPECT_TRUE(
        e2e::waitUntil([&] { return program.statusText(2) == app::texts::kStatusProcesses; }));
    EXPECT_TRUE(victim.waitForExit());
}

}  // namespace
