#pragma once
// Where every control of the main window sits and what it first shows. Positions are in pixels
// relative to the client area.

#include <array>
#include <string_view>

namespace zorvi {

inline constexpr std::string_view MAIN_WINDOW_TITLE = "Zorvi 局域网键鼠同步器";
inline constexpr int MAIN_WINDOW_WIDTH = 1197;
inline constexpr int MAIN_WINDOW_HEIGHT = 546;

enum class ControlKind { Label, Button, List, Edit, StatusBar };

enum ControlId : int {
  ID_LIST_HEADING = 1001,   // "透明标签1"
  ID_SCAN = 1002,           // "按钮1"
  ID_TICK_ALL = 1003,       // "按钮9"
  ID_UNTICK_ALL = 1004,     // "按钮8"
  ID_CLIENT_LIST = 1005,    // "客户机列表"
  ID_EXPORT = 1006,         // "按钮3"
  ID_TAKE_CONTROL = 1007,   // "按钮4"
  ID_RELEASE_CONTROL = 1008,  // "按钮10"
  ID_MESSAGE_EDIT = 1009,   // "编辑框5"
  ID_CONNECTION_LABEL = 1010,  // "透明标签2"
  ID_SHOT = 1011,           // "按钮2"
  ID_SEND_TEXT = 1012,      // "按钮6"
  ID_PROFILE_LABEL = 1013,  // "透明标签3"
  ID_KEY_STATE_LABEL = 1014,  // "透明标签4"
  ID_STATUS_BAR = 1015,     // "状态条1"
};

struct ControlPlace {
  ControlId id;
  ControlKind kind;
  int left;
  int top;
  int width;
  int height;
  std::string_view text;
};

inline constexpr std::array<ControlPlace, 14> MAIN_WINDOW_CONTROLS = {{
    {ID_LIST_HEADING, ControlKind::Label, 8, 6, 240, 24, "客户机列表："},
    {ID_SCAN, ControlKind::Button, 916, 6, 104, 24, "扫描局域网客户"},
    {ID_TICK_ALL, ControlKind::Button, 1026, 6, 72, 24, "全体选中"},
    {ID_UNTICK_ALL, ControlKind::Button, 1104, 6, 72, 24, "全体取消"},
    {ID_CLIENT_LIST, ControlKind::List, 8, 35, 1168, 296, ""},
    {ID_EXPORT, ControlKind::Button, 864, 337, 110, 24, "导出列表到Excel"},
    {ID_TAKE_CONTROL, ControlKind::Button, 982, 337, 99, 24, "键鼠控制"},
    {ID_RELEASE_CONTROL, ControlKind::Button, 1088, 337, 88, 24, "解除控制"},
    {ID_MESSAGE_EDIT, ControlKind::Edit, 8, 368, 1168, 72, ""},
    {ID_CONNECTION_LABEL, ControlKind::Label, 8, 449, 960, 24, "暂无连接"},
    {ID_SHOT, ControlKind::Button, 984, 448, 80, 24, "本机截图"},
    {ID_SEND_TEXT, ControlKind::Button, 1072, 447, 104, 24, "服务器发送"},
    {ID_PROFILE_LABEL, ControlKind::Label, 8, 473, 1168, 24, ""},
    {ID_KEY_STATE_LABEL, ControlKind::Label, 1010, 498, 182, 16, ""},
}};

inline constexpr ControlPlace STATUS_BAR_PLACE = {ID_STATUS_BAR, ControlKind::StatusBar, 0, 497, 1191, 20, ""};

// The list's columns take these widths, in the order of CLIENT_LIST_COLUMNS.
inline constexpr std::array<int, 11> CLIENT_LIST_COLUMN_WIDTHS = {115, 45, 90, 120, 90, 100, 180, 80, 60, 100, 180};

inline constexpr std::string_view STATUS_CREDIT = "Zorvi Sync 局域网键鼠同步与机器清单";
inline constexpr std::string_view STATUS_VERSION = "软件版本：V 1.0.0.0";
inline constexpr int STATUS_CREDIT_PANE_WIDTH = 760;

inline constexpr std::string_view UI_FONT_FACE = "Microsoft YaHei UI";
inline constexpr std::string_view TEXT_PROFILE_COPIED = "已复制系统信息到剪切板！";
inline constexpr std::string_view EXPORT_SHEET_NAME = "123";

}  // namespace zorvi
