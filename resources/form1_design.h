// The design of the main window, as data: every control with its kind,
// container, caption, rectangle (twips, relative to its container), window
// styles and tab order. The platform creates the controls from this table in
// this order, with these styles and no others.
#pragma once

#ifdef _WIN32
#include <windows.h>
#else
#include "resources/window_styles.h"
#endif

#include "app/texts.h"

namespace design {

// 1440 twips make an inch; 15 twips a pixel at 96 DPI.
inline constexpr int kTwipsPerInch = 1440;

inline constexpr int kClientWidth = 7815;
inline constexpr int kClientHeight = 6870;

enum class Kind { GroupBox, Button, ListBox, StatusBar, Edit, Radio };

// Control identifiers (also what GetDlgCtrlID answers).
enum Id : int {
    kForm1 = 0,
    kFrame1 = 101,
    kCommand1 = 102,
    kCommand2 = 103,
    kCommand3 = 104,
    kFrame2 = 105,
    kCommand4 = 106,
    kFrame3 = 107,
    kList1 = 108,
    kS1 = 109,
    kCommand5 = 110,
    kFrame4 = 111,
    kText1 = 112,
    kFrame5 = 113,
    kOption1 = 114,
    kOption2 = 115,
};

struct Control {
    Id id;
    Kind kind;
    Id container;
    const wchar_t* caption;
    int left, top, width, height;
    DWORD style;
    DWORD exStyle;
};

// Window styles of each kind; WS_GROUP is added where a group starts. The
// controls that take no focus lie below the others in the z-order, each one
// a group of its own, so that the arrow keys stay within Option1 and
// Option2; a group box is clipped by the controls drawn inside it.
inline constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
inline constexpr DWORD kGroupBoxStyle = kChild | WS_GROUP | WS_CLIPSIBLINGS | BS_GROUPBOX;
inline constexpr DWORD kButtonStyle = kChild | WS_TABSTOP | BS_PUSHBUTTON;
inline constexpr DWORD kRadioStyle = kChild | WS_TABSTOP | BS_AUTORADIOBUTTON;
inline constexpr DWORD kListStyle =
    kChild | WS_TABSTOP | WS_VSCROLL | LBS_NOINTEGRALHEIGHT | LBS_NOTIFY;
inline constexpr DWORD kNotesStyle =
    kChild | WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_READONLY;
inline constexpr DWORD kSunken = WS_EX_CLIENTEDGE;

// In tab order. A container comes before what it holds.
inline constexpr Control kControls[] = {
    {kFrame1, Kind::GroupBox, kForm1, L"逐一问题解决", 120, 240, 5175, 1215, kGroupBoxStyle, 0},
    {kCommand1, Kind::Button, kFrame1, L"清空剪贴板", 120, 360, 1575, 615, kButtonStyle | WS_GROUP,
     0},
    {kCommand2, Kind::Button, kFrame1, L"清除相关进程", 1800, 360, 1575, 615, kButtonStyle, 0},
    {kCommand3, Kind::Button, kFrame1, app::texts::kCaptionClearExplorer, 3480, 360, 1575, 615,
     kButtonStyle, 0},
    {kFrame2, Kind::GroupBox, kForm1, L"相关操作", 120, 1680, 3375, 4215, kGroupBoxStyle, 0},
    {kCommand4, Kind::Button, kFrame2, L"一键强力修复", 120, 240, 3135, 615, kButtonStyle, 0},
    {kFrame3, Kind::GroupBox, kFrame2, L"强力排除过程", 120, 1080, 3135, 2175, kGroupBoxStyle, 0},
    {kList1, Kind::ListBox, kFrame3, L"", 120, 240, 2895, 1860, kListStyle, kSunken},
    {kS1, Kind::StatusBar, kForm1, L"", 0, 6255, 7815, 615, kChild | WS_GROUP, 0},
    {kCommand5, Kind::Button, kForm1, L"弹出安全删除硬件的窗口", 240, 5160, 3135, 615, kButtonStyle,
     0},
    {kFrame4, Kind::GroupBox, kForm1, L"程序相关说明", 3600, 1680, 4095, 4215, kGroupBoxStyle, 0},
    {kText1, Kind::Edit, kFrame4, L"", 120, 240, 3855, 3855, kNotesStyle, kSunken},
    {kFrame5, Kind::GroupBox, kForm1, L"相关网站", 5400, 240, 2295, 1215, kGroupBoxStyle, 0},
    // Both web links as wide as the second: in a 9-point Chinese face the
    // first caption needs that room beside its round mark.
    {kOption1, Kind::Radio, kFrame5, L"Zelk系列软件官方网站", 120, 360, 2055, 300,
     kRadioStyle | WS_GROUP, 0},
    {kOption2, Kind::Radio, kFrame5, L"Zelk系列软件官方论坛", 120, 720, 2055, 255, kRadioStyle, 0},
};

// A control of the table by its identifier.
inline constexpr const Control& designOf(int id) {
    for (const auto& c : kControls) {
        if (c.id == id) return c;
    }
    return kControls[0];
}

// Status bar panels: width in twips; 0 = what the others leave.
struct Panel {
    const wchar_t* text;
    int width;
};
inline constexpr Panel kPanels[] = {
    {L"状态：", 1440},
    {app::texts::kStatusLoaded, 0},
    {L"", 1440},  // the clock, kept current by the platform
};
// The handlers' messages, which screen readers hear as they change.
inline constexpr int kMessagePanel = 2;
inline constexpr int kClockPanel = 3;

// Twelve lines, CR LF CR LF between them, a single CR LF after the last.
// The contact number of line 11 is a placeholder no account can have (none
// starts with 0), so no stranger is sent the users' questions.
inline constexpr const wchar_t* kNotes =
    L"本程序1.0版发布后,曾有人未经作者许可\r\n\r\n"
    L"擅自修改作者的程序并以他人名义发布,\r\n\r\n"
    L"作者对这种行为表示强烈谴责!\r\n\r\n"
    L"------------------------------------\r\n\r\n"
    L"本程序可帮助您解决在拔出U盘时提示\r\n\r\n"
    L"无法停止\"通用卷\"设备。的\r\n\r\n"
    L"您一定要确保您当前所有的文件已经关闭\r\n\r\n"
    L"再使用本软件否则使用多次也无任何效果\r\n\r\n"
    L"首先选择逐一排除,处理按照从小到大排列\r\n\r\n"
    L"如果逐一排除无效,请点击一键强力修复下\r\n\r\n"
    L"如有问题请联系作者Mirt,QQ:00000000\r\n\r\n"
    L"Zelk系列软件官方论坛:http://www.zelk-soft.example/bbs\r\n";

}  // namespace design
