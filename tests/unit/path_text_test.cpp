#include "system/path_text.h"

#include <gtest/gtest.h>

namespace {

TEST(PathText, FolderOfAFileKeepsTheSeparatorOnlyAtADrivesRoot) {
    struct Case {
        const wchar_t* file;
        const wchar_t* folder;
    };
    const Case cases[] = {
        {L"E:\\ZelkUsbTool.exe", L"E:\\"},
        {L"\\\\?\\E:\\ZelkUsbTool.exe", L"\\\\?\\E:\\"},
        {L"C:\\Tools\\ZelkUsbTool.exe", L"C:\\Tools"},
        {L"C:\\Tools/USB\\ZelkUsbTool.exe", L"C:\\Tools/USB"},
        {L"\\\\server\\share\\ZelkUsbTool.exe", L"\\\\server\\share"},
        {L"ZelkUsbTool.exe", L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.file)));
        EXPECT_EQ(platform::folderOf(c.file), c.folder);
    }
}

TEST(PathText, ANameInAFolderGetsOneSeparator) {
    EXPECT_EQ(platform::pathIn(L"E:\\", L"SkinH_VB6.dll"), L"E:\\SkinH_VB6.dll");
    EXPECT_EQ(platform::pathIn(L"C:\\Tools", L"SkinH_VB6.dll"), L"C:\\Tools\\SkinH_VB6.dll");
    EXPECT_EQ(platform::pathIn(L"D:/apps/", L"SkinH_VB6.dll"), L"D:/apps/SkinH_VB6.dll");
}

}  // namespace
