#include "protocol/MessageKinds.h"

#include <gtest/gtest.h>

#include "protocol/Markers.h"
#include "protocol/Payloads.h"

namespace zorvi {
namespace {

struct KindCase {
  const char* name;
  std::string body;
  MessageKind onControlled;
  MessageKind onController;
  std::string payload;  // as the side that recognises the kind sees it
  friend void PrintTo(const KindCase& c, std::ostream* os) { *os << c.name; }
};

class RecogniseKind : public ::testing::TestWithParam<KindCase> {};

TEST_P(RecogniseKind, EachSideSeesItsKinds) {
  const KindCase& c = GetParam();
  const KindedBody controlled = recogniseOnControlled(c.body);
  const KindedBody controller = recogniseOnController(c.body);
  EXPECT_EQ(controlled.kind, c.onControlled);
  EXPECT_EQ(controller.kind, c.onController);
  if (controlled.kind != MessageKind::Unrecognised) {
    EXPECT_EQ(controlled.payload, c.payload);
  }
  if (controller.kind != MessageKind::Unrecognised) {
    EXPECT_EQ(controller.payload, c.payload);
  }
}

const std::string INPUT_BODY = inputBody({0.5f, 0.25f, "鼠标 左键按下"});

INSTANTIATE_TEST_SUITE_P(
    Bodies, RecogniseKind,
    ::testing::Values(
        KindCase{"input", INPUT_BODY, MessageKind::Input, MessageKind::Unrecognised,
                 INPUT_BODY.substr(MARK_KIND_INPUT.size())},
        KindCase{"profile_request", profileRequestBody(), MessageKind::ProfileRequest, MessageKind::Unrecognised, ""},
        KindCase{"profile_request_with_trailing_space", profileRequestBody() + " ", MessageKind::Unrecognised,
                 MessageKind::Unrecognised, ""},
        KindCase{"profile_request_with_line_break", profileRequestBody() + "\r\n", MessageKind::Unrecognised,
                 MessageKind::Unrecognised, ""},
        KindCase{"operator_text", operatorTextBody("你好\r\nworld"), MessageKind::OperatorText,
                 MessageKind::Unrecognised, "你好\r\nworld"},
        KindCase{"empty_operator_text", operatorTextBody(""), MessageKind::OperatorText, MessageKind::Unrecognised,
                 ""},
        KindCase{"profile_is_ignored_on_controlled", profileBody("a"), MessageKind::Unrecognised,
                 MessageKind::Profile, "a"},
        KindCase{"greeting_text", "192.168.1.7", MessageKind::Unrecognised, MessageKind::Unrecognised, ""},
        KindCase{"truncated_marker", std::string(MARK_KIND_INPUT.substr(0, 24)), MessageKind::Unrecognised,
                 MessageKind::Unrecognised, ""},
        KindCase{"empty", "", MessageKind::Unrecognised, MessageKind::Unrecognised, ""}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

}  // namespace
}  // namespace zorvi
