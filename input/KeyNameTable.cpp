#include "input/KeyNameTable.h"

#include <array>
#include <unordered_map>

namespace zorvi::KeyNameTable {
namespace {

struct NamedKey {
  std::uint32_t code;
  std::string_view caption;
};

// The keys outside the three ranges (digits, letters, F1 to F16) that follow a rule.
constexpr std::array<NamedKey, 45> NAMED_KEYS = {{
    {3, "Break"},        {8, "退格键"},       {13, "回车键"},      {16, "Shift键"},     {17, "Ctrl键"},
    {18, "Alt键"},       {19, "Pause键"},     {20, "Caps Lock键"}, {27, "Esc键"},       {32, "空格键"},
    {33, "PageUp键"},    {34, "PageDown键"},  {35, "End键"},       {36, "Home键"},      {37, "左光标键"},
    {38, "上光标键"},    {39, "右光标键"},    {40, "下光标键"},    {44, "PrtSc键"},     {45, "Ins键"},
    {46, "Del键"},       {91, "Win键"},       {93, "菜单键"},      {106, "乘号键"},     {107, "加号键"},
    {144, "NumLock键"},  {145, "ScrollLock键"}, {160, "左Shift键"}, {161, "右Shift键"}, {162, "左Ctrl键"},
    {163, "右Ctrl键"},   {164, "左Alt键"},    {165, "右Alt键"},    {186, "分号键"},     {187, "等号键"},
    {188, "逗号键"},     {189, "减号键"},     {190, "圆点键"},     {191, "除号键"},     {192, "反撇号键"},
    {219, "左中括号键"}, {220, "斜杠键"},     {221, "右中括号键"}, {222, "单引号键"},   {255, "Fn键"},
}};

constexpr std::string_view KEY_SUFFIX = "键";

struct Tables {
  std::unordered_map<std::uint32_t, std::string> captions;
  std::unordered_map<std::string, ReplayAction> actions;
};

std::string buildText(std::string_view caption, bool pressed) {
  std::string text(TEXT_KEY_PREFIX);
  text.append(caption).append(pressed ? TEXT_KEY_PRESSED : TEXT_KEY_RELEASED);
  return text;
}

Tables buildTables() {
  Tables tables;
  const auto addRuleRange = [&](std::uint32_t first, std::uint32_t last, auto nameOf) {
    for (std::uint32_t code = first; code <= last; ++code) {
      tables.captions.emplace(code, nameOf(code) + std::string(KEY_SUFFIX));
    }
  };
  addRuleRange(48, 57, [](std::uint32_t code) { return std::string(1, static_cast<char>(code)); });
  addRuleRange(65, 90, [](std::uint32_t code) { return std::string(1, static_cast<char>(code)); });
  addRuleRange(112, 127, [](std::uint32_t code) { return "F" + std::to_string(code - 111); });
  for (const NamedKey& key : NAMED_KEYS) {
    tables.captions.emplace(key.code, std::string(key.caption));
  }

  for (const auto& [code, caption] : tables.captions) {
    for (const bool pressed : {true, false}) {
      ReplayAction action;
      action.kind = ReplayAction::Kind::Key;
      action.virtualKey = code;
      action.press = pressed;
      tables.actions.emplace(buildText(caption, pressed), action);
    }
  }
  const std::pair<std::string_view, ReplayAction> mouseTexts[] = {
      {TEXT_MOUSE_LEFT_DOWN, {ReplayAction::Kind::MouseButton, 0, MouseButton::Left, true}},
      {TEXT_MOUSE_LEFT_UP, {ReplayAction::Kind::MouseButton, 0, MouseButton::Left, false}},
      {TEXT_MOUSE_RIGHT_DOWN, {ReplayAction::Kind::MouseButton, 0, MouseButton::Right, true}},
      {TEXT_MOUSE_RIGHT_UP, {ReplayAction::Kind::MouseButton, 0, MouseButton::Right, false}},
      {TEXT_MOUSE_MIDDLE_DOWN, {ReplayAction::Kind::MouseButton, 0, MouseButton::Middle, true}},
      {TEXT_MOUSE_MIDDLE_UP, {ReplayAction::Kind::MouseButton, 0, MouseButton::Middle, false}},
  };
  for (const auto& [text, action] : mouseTexts) {
    tables.actions.emplace(std::string(text), action);
  }
  return tables;
}

const Tables& tables() {
  static const Tables built = buildTables();
  return built;
}

}  // namespace

std::string_view captionOf(std::uint32_t virtualKey) {
  const auto& captions = tables().captions;
  const auto found = captions.find(virtualKey);
  return found == captions.end() ? std::string_view{} : std::string_view(found->second);
}

std::string keyStateText(std::uint32_t virtualKey, bool pressed) { return buildText(captionOf(virtualKey), pressed); }

ReplayAction actionOf(std::string_view keyStateText) {
  const auto& actions = tables().actions;
  const auto found = actions.find(std::string(keyStateText));
  return found == actions.end() ? ReplayAction{} : found->second;
}

}  // namespace zorvi::KeyNameTable
