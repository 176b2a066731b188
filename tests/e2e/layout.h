// The window's design in pixels at 96 DPI, written out independently of the
// program's own design table.
#pragma once

#include <windows.h>

#include "resources/form1_design.h"

namespace e2e {

struct Expected {
    int id;
    const wchar_t* className;
    const wchar_t* caption;
    RECT rect;  // client-area pixels at 96 DPI
};

// The design's pixel layout, written out independently of the design table.
inline const Expected kLayout[] = {
    {design::kFrame1, L"Button", L"逐一问题解决", {8, 16, 353, 97}},
    {design::kCommand1, L"Button", L"清空剪贴板", {16, 40, 121, 81}},
    {design::kCommand2, L"Button", L"清除相关进程", {128, 40, 233, 81}},
    {design::kCommand3, L"Button", L"清除Explorer", {240, 40, 345, 81}},
    {design::kFrame2, L"Button", L"相关操作", {8, 112, 233, 393}},
    {design::kCommand4, L"Button", L"一键强力修复", {16, 128, 225, 169}},
    {design::kFrame3, L"Button", L"强力排除过程", {16, 184, 225, 329}},
    {design::kList1, L"ListBox", L"", {24, 200, 217, 324}},
    {design::kS1, L"msctls_statusbar32", nullptr, {0, 417, 521, 458}},
    {design::kCommand5, L"Button", L"弹出安全删除硬件的窗口", {16, 344, 225, 385}},
    {design::kFrame4, L"Button", L"程序相关说明", {240, 112, 513, 393}},
    {design::kText1, L"Edit", nullptr, {248, 128, 505, 385}},
    {design::kFrame5, L"Button", L"相关网站", {360, 16, 513, 97}},
    {design::kOption1, L"Button", L"Zelk系列软件官方网站", {368, 40, 505, 60}},
    {design::kOption2, L"Button", L"Zelk系列软件官方论坛", {368, 64, 505, 81}},
};

}  // namespace e2e
