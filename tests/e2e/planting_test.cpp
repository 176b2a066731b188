// Files planted where a bare-name search would find them first: the
// program's own folder and the current directory. None of them may run.
#include <gtest/gtest.h>

#include "resources/form1_design.h"
#include "tests/e2e/harness.h"

namespace {

using e2e::Program;

using e2e::narrow;

// Hex of the ANSI bytes the skinning library was handed (paths here are ASCII).
std::wstring hexOf(const std::wstring& ascii) {
    static const wchar_t digits[] = L"0123456789abcdef";
    std::wstring hex;
    for (wchar_t c : ascii) {
        hex += digits[(c >> 4) & 15];
        hex += digits[c & 15];
    }
    return hex;
}

bool anyRecord(const Program& program, const wchar_t* kind) {
    for (const auto& r : program.records()) {
        if (!r.empty() && r[0] == kind) return true;
    }
    return false;
}

TEST(Planting, ProgramsPlantedBesideTheProgramOrInTheCurrentDirectoryNeverRun) {
    e2e::TempDir cwd(L"cwd");
    const std::wstring recorder = e2e::buildDir() + L"\\recorder.exe";
    for (const wchar_t* name : {L"explorer.exe", L"rundll32.exe", L"RUNDLL32.EXE"}) {
        ASSERT_TRUE(e2e::copyOrFail(recorder, cwd.file(name)));
    }
    e2e::ProgramOptions options;
    options.currentDirectory = cwd.path();
    options.planted = {{recorder, L"explorer.exe"}, {recorder, L"rundll32.exe"}};
    Program program(options);
    ASSERT_NE(program.window(), nullptr);

    program.click(design::kCommand5);  // the dialog
    program.click(design::kCommand3);  // end the shell...
    ASSERT_TRUE(e2e::waitUntil([&] { return program.text(design::kCommand3) == L"重启Explorer"; }));
    program.click(design::kCommand3);  // ...and start it again
    ASSERT_TRUE(e2e::waitUntil(
        [&] { return program.statusText(2) == app::texts::kStatusExplorerRestarted; }));
    // Both launches are made; once every copy that could have run, planted
    // or not, has exited, each launch is on record.
    std::vector<std::wstring> copies = e2e::standInFiles();
    for (const std::wstring& folder : {program.folder(), cwd.path()}) {
        copies.push_back(folder + L"\\explorer.exe");
        copies.push_back(folder + L"\\rundll32.exe");
    }
    ASSERT_TRUE(e2e::waitUntilNoneRunsFrom(copies));
    const auto launches = program.launches();
    ASSERT_EQ(launches.size(), 2u);
    for (const auto& launch : launches) {
        const bool system = e2e::sameFile(launch.path, e2e::systemDir() + L"\\rundll32.exe") ||
                            e2e::sameFile(launch.path, e2e::windowsDir() + L"\\explorer.exe");
        EXPECT_TRUE(system) << "started " << narrow(launch.path);
    }
}

TEST(Planting, SystemDllsPlantedBesideTheProgramAreNeverLoaded) {
    const std::wstring planted = e2e::buildDir() + L"\\planted\\winmm.dll";
    e2e::ProgramOptions options;
    options.planted = {
        {planted, L"winmm.dll"}, {planted, L"comctl32.dll"}, {planted, L"oleacc.dll"}};
    Program program(options);
    ASSERT_NE(program.window(), nullptr) << "the program starts";

    // A screen reader's first question loads COM and the annotation service's oleacc.
    DWORD_PTR answer = 0;
    EXPECT_NE(SendMessageTimeoutW(program.control(design::kList1), WM_GETOBJECT, 0, OBJID_CLIENT,
                                  SMTO_NORMAL, 10000, &answer),
              0);

    // The forced repair's first pause binds timeGetTime.
    program.click(design::kCommand4);
    const HWND box = program.waitForMessageBox(L"Zelk系列软件提示");
    ASSERT_NE(box, nullptr);
    Program::answer(box, IDYES);
    // The second line follows the first pause, and with it the binding.
    ASSERT_TRUE(e2e::waitUntil([&] { return program.listItems().size() >= 2; }));
    EXPECT_FALSE(anyRecord(program, L"planted-dll-loaded"));
    EXPECT_TRUE(program.process().running());
}

TEST(SkinLibrary, IsAttachedTwiceWithThePathOfTheSkinFileAndAnEmptyPassword) {
    e2e::ProgramOptions options;
    options.recordingSkin = true;
    Program program(options);
    ASSERT_NE(program.window(), nullptr);
    std::vector<e2e::Record> attaches;
    for (const auto& r : program.records()) {
        if (!r.empty() && r[0] == L"attach") attaches.push_back(r);
    }
    ASSERT_EQ(attaches.size(), 2u);
    const std::wstring path = program.folder() + L"/skinh.she";
    for (const auto& a : attaches) {
        ASSERT_EQ(a.size(), 3u);
        EXPECT_EQ(a[1], hexOf(path)) << narrow(path);
        EXPECT_EQ(a[2], L"") << "an empty string, not a null pointer";
    }
}

TEST(SkinLibrary, IsLoadedOnlyFromTheProgramsFolder) {
    e2e::TempDir cwd(L"cwd");
    ASSERT_TRUE(e2e::copyOrFail(e2e::buildDir() + L"\\recording\\SkinH_VB6.dll",
                                cwd.file(L"SkinH_VB6.dll")));
    e2e::ProgramOptions options;
    options.withSkinLibrary = false;
    options.currentDirectory = cwd.path();
    Program program(options);
    ASSERT_NE(program.window(), nullptr) << "without the library the window still starts";
    EXPECT_FALSE(anyRecord(program, L"attach"));
    EXPECT_EQ(program.statusText(2), L"程序已加载完毕...");
}

}  // namespace
