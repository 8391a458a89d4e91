#pragma once
// The fixed texts of the wire protocol. Sources are UTF-8; the build turns every literal into the
// GBK bytes that travel (the byte counts are checked at compile time).

#include <string_view>

namespace zorvi {

// Envelope of every TCP message, in the order the pieces are written.
inline constexpr std::string_view MARK_MESSAGE_HEAD = "【[&zorvi消息头&]】";
inline constexpr std::string_view MARK_TEXT_HEAD = "【[&zorvi文本消息头&]】";
inline constexpr std::string_view MARK_TEXT_INNER_SEP = "【[&zorvi文本消息内分割&]】";
inline constexpr std::string_view MARK_TEXT_TAIL = "【[&zorvi文本消息尾&]】";
inline constexpr std::string_view MARK_MESSAGE_TAIL = "【[&zorvi消息尾&]】";
inline constexpr std::string_view MARK_MESSAGE_SEP = "【[&zorvi文本消息分割&]】";

// Kind markers at the start of a body, and the payload separators.
inline constexpr std::string_view MARK_KIND_INPUT = "【[&zorvi键鼠参数标识&]】";
inline constexpr std::string_view MARK_KIND_PROFILE = "【[&zorvi本机系统数据标识&]】";
inline constexpr std::string_view MARK_KIND_TEXT = "【[&zorvi正常文本消息&]】";
inline constexpr std::string_view MARK_INPUT_FIELD_SEP = "【[&zorvi键鼠参数数据分割&]】";
inline constexpr std::string_view MARK_PROFILE_FIELD_SEP = "【[&zorvi本机系统数据内分割&]】";

// Labels inside the Input payload; receivers skip them by length and never compare them.
inline constexpr std::string_view LABEL_INPUT_X = "zorvi键鼠控制-鼠标水平位置：";
inline constexpr std::string_view LABEL_INPUT_Y = "zorvi键鼠控制-鼠标垂直位置：";
inline constexpr std::string_view LABEL_INPUT_STATE = "zorvi键鼠控制-按键状态：";

// The whole body of a ProfileRequest.
inline constexpr std::string_view TEXT_PROFILE_REQUEST = "已连接至服务器，请反馈你的配置信息";

// A message is this many bytes plus the length of its body.
inline constexpr std::size_t ENVELOPE_BYTES = MARK_MESSAGE_HEAD.size() + MARK_TEXT_HEAD.size() + 13 +
                                              MARK_TEXT_INNER_SEP.size() + MARK_TEXT_TAIL.size() +
                                              MARK_MESSAGE_TAIL.size() + MARK_MESSAGE_SEP.size();

// A build whose literals did not become GBK would put other bytes on the wire.
static_assert(MARK_MESSAGE_HEAD.size() == 19 && MARK_TEXT_HEAD.size() == 23 && MARK_TEXT_INNER_SEP.size() == 27 &&
                  MARK_TEXT_TAIL.size() == 23 && MARK_MESSAGE_TAIL.size() == 19 && MARK_MESSAGE_SEP.size() == 25,
              "envelope markers must be GBK: compile with -fexec-charset=GBK");
static_assert(MARK_KIND_INPUT.size() == 25 && MARK_KIND_PROFILE.size() == 29 && MARK_KIND_TEXT.size() == 25 &&
                  MARK_INPUT_FIELD_SEP.size() == 29 && MARK_PROFILE_FIELD_SEP.size() == 31,
              "kind markers must be GBK");
static_assert(LABEL_INPUT_X.size() == 28 && LABEL_INPUT_Y.size() == 28 && LABEL_INPUT_STATE.size() == 24 &&
                  TEXT_PROFILE_REQUEST.size() == 34,
              "labels must be GBK");
static_assert(ENVELOPE_BYTES == 149);

}  // namespace zorvi
