// The window as the user first sees it: caption, size, border, every control
// where it belongs, tab order, focus, status bar and notes.
#include <windows.h>

#include <array>
#include <commctrl.h>
#include <cstring>
#include <gtest/gtest.h>

#include "resources/form1_design.h"
#include "tests/e2e/harness.h"
#include "tests/e2e/layout.h"
#include "tests/e2e/process_parameters.h"

namespace {

using e2e::kLayout;
using e2e::Program;

std::wstring classOf(HWND window) {
    std::array<wchar_t, 64> name{};
    GetClassNameW(window, name.data(), static_cast<int>(name.size()));
    return name.data();
}

LONG styleOf(HWND window) { return GetWindowLongW(window, GWL_STYLE); }

TEST(MainWindow, CaptionClientSizeAndFixedBorder) {
    Program program;
    ASSERT_NE(program.window(), nullptr);
    std::array<wchar_t, 128> caption{};
    GetWindowTextW(program.window(), caption.data(), static_cast<int>(caption.size()));
    EXPECT_EQ(std::wstring(caption.data()), L"Zelk系列软件の解决U盘无法拔出小工具 V2.0");

    const RECT client = program.clientRect();
    EXPECT_EQ(client.right - client.left, 521);
    EXPECT_EQ(client.bottom - client.top, 458);

    // No resize frame: the border does not answer as a sizing edge.
    EXPECT_EQ(styleOf(program.window()) & WS_THICKFRAME, 0);
    RECT frame{};
    GetWindowRect(program.window(), &frame);
    const int middleY = (frame.top + frame.bottom) / 2;
    const int middleX = (frame.left + frame.right) / 2;
    EXPECT_NE(SendMessageW(program.window(), WM_NCHITTEST, 0, MAKELPARAM(frame.right - 1, middleY)),
              HTRIGHT);
    EXPECT_NE(
        SendMessageW(program.window(), WM_NCHITTEST, 0, MAKELPARAM(middleX, frame.bottom - 1)),
        HTBOTTOM);
    EXPECT_EQ(GetMenu(program.window()), nullptr);

    // Centred on the screen.
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    EXPECT_NEAR(frame.left, screenWidth - frame.right, 1);
    EXPECT_NEAR(frame.top, screenHeight - frame.bottom, 1);
}

TEST(MainWindow, EveryControlHasItsClassCaptionAndRectangle) {
    Program program;
    ASSERT_NE(program.window(), nullptr);
    for (const e2e::Expected& e : kLayout) {
        SCOPED_TRACE(e.id);
        const HWND control = program.control(e.id);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(classOf(control), e.className);
        if (e.caption) {
            EXPECT_EQ(program.text(e.id), e.caption);
        }
        const RECT r = program.rect(e.id);
        EXPECT_EQ(r.left, e.rect.left);
        EXPECT_EQ(r.top, e.rect.top);
        EXPECT_EQ(r.right, e.rect.right);
        EXPECT_EQ(r.bottom, e.rect.bottom);
        EXPECT_TRUE(IsWindowVisible(control));
        EXPECT_TRUE(IsWindowEnabled(control));
    }
    // Kinds beyond the class name.
    for (int id :
         {design::kFrame1, design::kFrame2, design::kFrame3, design::kFrame4, design::kFrame5}) {
        EXPECT_EQ(styleOf(program.control(id)) & BS_TYPEMASK, BS_GROUPBOX) << id;
    }
    for (int id : {design::kCommand1, design::kCommand2, design::kCommand3, design::kCommand4,
                   design::kCommand5}) {
        // The dialog manager marks the focused push button as the one Enter presses.
        const LONG type = styleOf(program.control(id)) & BS_TYPEMASK;
        EXPECT_TRUE(type == BS_PUSHBUTTON || (type == BS_DEFPUSHBUTTON && id == design::kCommand1))
            << id;
        EXPECT_EQ(program.text(id).find(L'&'), std::wstring::npos);
    }
    for (int id : {design::kOption1, design::kOption2}) {
        EXPECT_EQ(styleOf(program.control(id)) & BS_TYPEMASK, BS_AUTORADIOBUTTON) << id;
        EXPECT_EQ(SendMessageW(program.control(id), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    }
    const LONG list = styleOf(program.control(design::kList1));
    EXPECT_EQ(list & (LBS_SORT | LBS_MULTIPLESEL | LBS_EXTENDEDSEL), 0);
    EXPECT_EQ(SendMessageW(program.control(design::kList1), LB_GETCOUNT, 0, 0), 0);
    const LONG edit = styleOf(program.control(design::kText1));
    EXPECT_TRUE(edit & ES_MULTILINE);
    EXPECT_TRUE(edit & WS_VSCROLL);
    EXPECT_FALSE(edit & WS_HSCROLL);
    EXPECT_FALSE(edit & ES_AUTOHSCROLL);  // long lines wrap
}

TEST(MainWindow, EachControlLiesAboveItsGroupBoxAndTakesTheClick) {
    Program program;
    ASSERT_NE(program.window(), nullptr);
    // Command5 inside Frame2's rectangle, List1 inside two group boxes: every
    // hit test finds the control the user sees, with no region cut out.
    for (int id : {design::kCommand1, design::kCommand4, design::kList1, design::kCommand5,
                   design::kText1, design::kOption1, design::kOption2}) {
        SCOPED_TRACE(id);
        const RECT r = program.rect(id);
        POINT middle{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        EXPECT_EQ(ChildWindowFromPoint(program.window(), middle), program.control(id));
        ClientToScreen(program.window(), &middle);
        EXPECT_EQ(WindowFromPoint(middle), program.control(id));
    }
    const HRGN region = CreateRectRgn(0, 0, 0, 0);
    for (int id :
         {design::kFrame1, design::kFrame2, design::kFrame3, design::kFrame4, design::kFrame5}) {
        EXPECT_EQ(GetWindowRgn(program.control(id), region), ERROR) << id;
    }
    DeleteObject(region);
}

TEST(MainWindow, TabOrderAndInitialFocus) {
    Program program;
    ASSERT_NE(program.window(), nullptr);
    // Controls in the window's order, as the dialog manager walks them.
    std::vector<int> order;
    std::vector<int> tabStops;
    for (HWND child = GetWindow(program.window(), GW_CHILD); child;
         child = GetWindow(child, GW_HWNDNEXT)) {
        order.push_back(GetDlgCtrlID(child));
        if (styleOf(child) & WS_TABSTOP) tabStops.push_back(GetDlgCtrlID(child));
    }
    // What takes no focus lies below the rest, each group box below what it
    // holds: Frame3 above Frame2.
    const std::vector<int> expectedOrder = {design::kCommand1, design::kCommand2, design::kCommand3,
                                            design::kCommand4, design::kList1,    design::kCommand5,
                                            design::kText1,    design::kOption1,  design::kOption2,
                                            design::kFrame5,   design::kFrame4,   design::kS1,
                                            design::kFrame3,   design::kFrame2,   design::kFrame1};
    EXPECT_EQ(order, expectedOrder);
    const std::vector<int> expectedStops = {design::kCommand1, design::kCommand2, design::kCommand3,
                                            design::kCommand4, design::kList1,    design::kCommand5,
                                            design::kText1,    design::kOption1,  design::kOption2};
    EXPECT_EQ(tabStops, expectedStops);

    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    const DWORD thread = GetWindowThreadProcessId(program.window(), nullptr);
    // Activation reaches the window a moment after it is shown.
    const HWND command1 = program.control(design::kCommand1);
    EXPECT_TRUE(e2e::waitUntil([&] {
        return GetGUIThreadInfo(thread, &info) && info.hwndFocus == command1;
    })) << "focus is on "
        << info.hwndFocus;
}

TEST(MainWindow, StatusBarPanelsAndClock) {
    Program program;
    ASSERT_NE(program.window(), nullptr);
    EXPECT_EQ(program.statusText(1), L"状态\uFF1A");
    EXPECT_EQ(program.statusText(2), L"程序已加载完毕...");

    // The clock: hours and minutes, the current time in the short format.
    std::array<wchar_t, 64> now{}, before{};
    SYSTEMTIME t{};
    GetLocalTime(&t);
    GetTimeFormatW(LOCALE_USER_DEFAULT, TIME_NOSECONDS, &t, nullptr, now.data(), 64);
    FILETIME ft{};
    SystemTimeToFileTime(&t, &ft);
    ULARGE_INTEGER value{{ft.dwLowDateTime, ft.dwHighDateTime}};
    value.QuadPart -= 60ull * 10000000ull;
    ft = {value.LowPart, value.HighPart};
    SYSTEMTIME earlier{};
    FileTimeToSystemTime(&ft, &earlier);
    GetTimeFormatW(LOCALE_USER_DEFAULT, TIME_NOSECONDS, &earlier, nullptr, before.data(), 64);
    const std::wstring clock = program.statusText(3);
    EXPECT_TRUE(clock == now.data() || clock == before.data())
        << "clock shows " << clock.size() << " chars";
    EXPECT_EQ(clock.find(L':', clock.find(L':') + 1), std::wstring::npos) << "no seconds";

    // Panel widths: 96, the rest (325), 96 px, with the bar's borders between them.
    const RECT first = program.statusPanelRect(1);
    const RECT second = program.statusPanelRect(2);
    const RECT third = program.statusPanelRect(3);
    EXPECT_NEAR(first.right - first.left, 96, 3);
    EXPECT_NEAR(second.right - second.left, 325, 4);
    EXPECT_NEAR(third.right - third.left, 96, 4);
    EXPECT_LE(first.right, second.left);
    EXPECT_LE(second.right, third.left);
    EXPECT_NEAR(third.right, 521, 2);
}

// What a screen reader asks a status bar, from another process, in both
// character sets.
TEST(MainWindow, StatusBarAnswersTheReadersMessages) {
    Program program;
    ASSERT_NE(program.window(), nullptr);
    const HWND bar = program.control(design::kS1);
    EXPECT_EQ(SendMessageW(bar, SB_GETPARTS, 0, 0), 3);
    const std::vector<char> bytes = program.askStatusBar(SB_GETPARTS, 3, 3 * sizeof(int));
    std::array<int, 3> edges{};
    memcpy(edges.data(), bytes.data(), sizeof edges);
    EXPECT_EQ(edges[0], program.statusPanelRect(1).right);
    EXPECT_EQ(edges[1], program.statusPanelRect(2).right);
    EXPECT_EQ(edges[2], -1);

    const std::wstring loaded = L"程序已加载完毕...";
    EXPECT_EQ(SendMessageW(bar, SB_GETTEXTLENGTHW, 1, 0), static_cast<LRESULT>(loaded.size()));
    // The narrow forms, in the program's ANSI code page (the same as ours).
    std::array<char, 64> narrow{};
    WideCharToMultiByte(CP_ACP, 0, loaded.c_str(), -1, narrow.data(),
                        static_cast<int>(narrow.size()), nullptr, nullptr);
    const std::string expected = narrow.data();
    EXPECT_EQ(SendMessageW(bar, SB_GETTEXTLENGTHA, 1, 0), static_cast<LRESULT>(expected.size()));
    const std::vector<char> text = program.askStatusBar(SB_GETTEXTA, 1, expected.size() + 1);
    EXPECT_EQ(std::string(text.data()), expected);

    // The window's own text is the first panel's, as the common control has it.
    std::array<wchar_t, 64> window{};
    EXPECT_EQ(SendMessageW(bar, WM_GETTEXT, window.size(), reinterpret_cast<LPARAM>(window.data())),
              3);
    EXPECT_EQ(std::wstring(window.data()), L"状态\uFF1A");
    EXPECT_EQ(SendMessageW(bar, WM_GETTEXTLENGTH, 0, 0), 3);
}

TEST(MainWindow, NotesTextLinesAndSeparators) {
    Program program;
    const std::wstring notes = program.text(design::kText1);
    ASSERT_GE(notes.size(), 2u);
    ASSERT_EQ(notes.substr(notes.size() - 2), L"\r\n");
    EXPECT_NE(notes.substr(notes.size() - 4), L"\r\n\r\n");
    std::vector<std::wstring> lines;
    const std::wstring body = notes.substr(0, notes.size() - 2);
    size_t start = 0;
    for (size_t at; (at = body.find(L"\r\n\r\n", start)) != std::wstring::npos; start = at + 4) {
        lines.push_back(body.substr(start, at - start));
    }
    lines.push_back(body.substr(start));
    ASSERT_EQ(lines.size(), 12u);
    EXPECT_EQ(lines[3], std::wstring(36, L'-'));
    EXPECT_EQ(lines[4], L"本程序可帮助您解决在拔出U盘时提示");
    EXPECT_EQ(lines[5], L"无法停止\"通用卷\"设备。的");
    EXPECT_EQ(lines[6], L"您一定要确保您当前所有的文件已经关闭");
    EXPECT_EQ(lines[7], L"再使用本软件否则使用多次也无任何效果");
    EXPECT_EQ(lines[8], L"首先选择逐一排除,处理按照从小到大排列");
    EXPECT_EQ(lines[9], L"如果逐一排除无效,请点击一键强力修复下");
    for (const std::wstring& line : lines) {
        EXPECT_FALSE(line.empty());
        EXPECT_EQ(line.find(L'\n'), std::wstring::npos);
    }
    EXPECT_NE(lines[11].find(L"http://"), std::wstring::npos);
    EXPECT_NE(lines[11].find(L"/bbs"), std::wstring::npos);
}

}  // namespace

namespace {

// The program file's own resources: icon 30001, the version record, no manifest.
TEST(ProgramFile, IconVersionRecordAndNoManifest) {
    const std::wstring exe = e2e::buildDir() + L"\\ZelkUsbTool.exe";
    const HMODULE image = LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(image, nullptr);
    const HRSRC group =
        FindResourceW(image, MAKEINTRESOURCEW(30001), MAKEINTRESOURCEW(14));  // RT_GROUP_ICON
    ASSERT_NE(group, nullptr);
    // One image, 32 x 32, 24 bits per pixel.
#pragma pack(push, 2)
    struct GroupEntry {
        BYTE width, height, colors, reserved;
        WORD planes, bitCount;
        DWORD bytes;
        WORD id;
    };
    struct GroupHeader {
        WORD reserved, type, count;
    };
#pragma pack(pop)
    const auto* header = static_cast<const GroupHeader*>(LockResource(LoadResource(image, group)));
    ASSERT_NE(header, nullptr);
    ASSERT_EQ(header->count, 1);
    const auto* entry = reinterpret_cast<const GroupEntry*>(header + 1);
    EXPECT_EQ(entry->width, 32);
    EXPECT_EQ(entry->height, 32);
    EXPECT_EQ(entry->bitCount, 24);
    const HRSRC icon =
        FindResourceW(image, MAKEINTRESOURCEW(entry->id), MAKEINTRESOURCEW(3));  // RT_ICON
    ASSERT_NE(icon, nullptr);
    const auto* bitmap =
        static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(image, icon)));
    const auto* andMask = reinterpret_cast<const BYTE*>(bitmap + 1) + 32 * 32 * 3;
    for (int i = 0; i < 32 * 4; ++i) ASSERT_EQ(andMask[i], 0) << "fully opaque";
    const HANDLE loaded = LoadImageW(image, MAKEINTRESOURCEW(30001), IMAGE_ICON, 32, 32, 0);
    EXPECT_NE(loaded, nullptr) << GetLastError();
    if (loaded) DestroyIcon(static_cast<HICON>(loaded));
    EXPECT_EQ(FindResourceW(image, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24)),
              nullptr);  // RT_MANIFEST
    FreeLibrary(image);

    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(exe.c_str(), &ignored);
    ASSERT_GT(size, 0u);
    std::vector<BYTE> data(size);
    ASSERT_TRUE(GetFileVersionInfoW(exe.c_str(), 0, size, data.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
    const auto value = [&](const wchar_t* name) {
        wchar_t* text = nullptr;
        UINT chars = 0;
        const std::wstring key = std::wstring(L"\\StringFileInfo\\080404B0\\") + name;
        if (!VerQueryValueW(data.data(), key.c_str(), reinterpret_cast<void**>(&text), &chars))
            return std::wstring();
        return std::wstring(text);
    };
    EXPECT_EQ(value(L"FileVersion"), L"1.00");
    EXPECT_EQ(value(L"ProductVersion"), L"1.00");
    EXPECT_EQ(value(L"InternalName"), L"Zelk系列软件の解决U盘无法拔出小工具 V2.0");
    EXPECT_EQ(value(L"OriginalFilename"), L"Zelk系列软件の解决U盘无法拔出小工具 V2.0.exe");
}

// Started by a double-click, the program's current directory is the folder it
// sits in, often on the stick to be removed; a current directory keeps its
// volume in use.
TEST(StartUp, LeavesTheFolderItWasStartedInForTheSystemDirectory) {
    e2e::TempDir startedIn(L"started-in");
    e2e::ProgramOptions options;
    options.currentDirectory = startedIn.path();
    Program program(options);
    ASSERT_NE(program.window(), nullptr);
    const std::wstring current = e2e::currentDirectoryOf(program.process().handle());
    EXPECT_TRUE(e2e::sameFile(current, e2e::systemDir() + L"\\")) << e2e::narrow(current);
}

}  // namespace
