#include "protocol/Payloads.h"

#include <gtest/gtest.h>

#include "protocol/Markers.h"

namespace zorvi {
namespace {

std::string inputPayload(std::string_view x, std::string_view y, std::string_view state) {
  return std::string(LABEL_INPUT_X)
      .append(x)
      .append(MARK_INPUT_FIELD_SEP)
      .append(LABEL_INPUT_Y)
      .append(y)
      .append(MARK_INPUT_FIELD_SEP)
      .append(LABEL_INPUT_STATE)
      .append(state);
}

TEST(InputPayload, FractionsAreWrittenAsPercentSixG) {
  EXPECT_EQ(formatFraction(0.5f), "0.5");
  EXPECT_EQ(formatFraction(0.0f), "0");
  EXPECT_EQ(formatFraction(1.0f), "1");
  EXPECT_EQ(formatFraction(1.0f / 3.0f), "0.333333");
  EXPECT_EQ(formatFraction(1000.0f / 1920.0f), "0.520833");
  EXPECT_EQ(formatFraction(-0.25f), "-0.25");
}

TEST(InputPayload, RoundTripsThroughTheBody) {
  const InputEvent event{0.5f, 0.25f, "键盘 Caps Lock键   放开"};
  const std::string body = inputBody(event);
  ASSERT_TRUE(body.starts_with(MARK_KIND_INPUT));
  EXPECT_EQ(readInputPayload(std::string_view(body).substr(MARK_KIND_INPUT.size())), event);
}

TEST(InputPayload, ReadsOddPieces) {
  EXPECT_EQ(readInputPayload(inputPayload("0.520833", "1", "")), (InputEvent{0.520833f, 1.0f, ""}));
  EXPECT_EQ(readInputPayload(inputPayload("abc", "0.5", "鼠标 左键按下")), (InputEvent{0.0f, 0.5f, "鼠标 左键按下"}));
  // Labels are skipped by length, never compared; a piece no longer than its label reads as empty.
  const std::string otherLabels = std::string(28, 'x') + "0.5" + std::string(MARK_INPUT_FIELD_SEP) + "short" +
                                  std::string(MARK_INPUT_FIELD_SEP) + std::string(24, 'y') + "S";
  EXPECT_EQ(readInputPayload(otherLabels), (InputEvent{0.5f, 0.0f, "S"}));
}

TEST(InputPayload, WrongPieceCountIsNothing) {
  const std::string three = inputPayload("0.5", "0.5", "");
  EXPECT_FALSE(readInputPayload(three + std::string(MARK_INPUT_FIELD_SEP) + "x"));
  EXPECT_FALSE(readInputPayload(std::string(LABEL_INPUT_X) + "0.5" + std::string(MARK_INPUT_FIELD_SEP) + "y"));
  EXPECT_FALSE(readInputPayload(""));
}

const MachineProfile SAMPLE{"Admin", "TobefilledbyO.E.M.", "i7-9750H", "8G + 8G", "Windows 10  (Build:19045)",
                            "NVIDIA GeForce RTX 2060", "Default System BIOS", "537.58", "90.06.3F.00.5A"};

TEST(ProfilePayload, NineFieldsInWireOrder) {
  const std::string text = joinProfile(SAMPLE);
  EXPECT_EQ(text, "Admin" + std::string(MARK_PROFILE_FIELD_SEP) + "TobefilledbyO.E.M." +
                      std::string(MARK_PROFILE_FIELD_SEP) + "i7-9750H" + std::string(MARK_PROFILE_FIELD_SEP) +
                      "8G + 8G" + std::string(MARK_PROFILE_FIELD_SEP) + "Windows 10  (Build:19045)" +
                      std::string(MARK_PROFILE_FIELD_SEP) + "NVIDIA GeForce RTX 2060" +
                      std::string(MARK_PROFILE_FIELD_SEP) + "Default System BIOS" +
                      std::string(MARK_PROFILE_FIELD_SEP) + "537.58" + std::string(MARK_PROFILE_FIELD_SEP) +
                      "90.06.3F.00.5A");
  EXPECT_EQ(readProfilePayload(text), SAMPLE);
}

TEST(ProfilePayload, EmptyFieldsKeepTheirPlaceIncludingTheNinth) {
  MachineProfile emptyVbios = SAMPLE;
  emptyVbios.vbios.clear();
  EXPECT_EQ(readProfilePayload(joinProfile(emptyVbios)), emptyVbios);

  MachineProfile emptyFirstAndMiddle = SAMPLE;
  emptyFirstAndMiddle.userName.clear();
  emptyFirstAndMiddle.memory.clear();
  EXPECT_EQ(readProfilePayload(joinProfile(emptyFirstAndMiddle)), emptyFirstAndMiddle);

  EXPECT_EQ(readProfilePayload(joinProfile(MachineProfile{})), MachineProfile{});
}

TEST(ProfilePayload, WrongCountReadsAsNineEmptyFields) {
  MachineProfile holdsSeparator = SAMPLE;
  holdsSeparator.cpu = "a" + std::string(MARK_PROFILE_FIELD_SEP) + "b";
  EXPECT_EQ(readProfilePayload(joinProfile(holdsSeparator)), MachineProfile{});
  EXPECT_EQ(readProfilePayload("only one field"), MachineProfile{});
  EXPECT_EQ(readProfilePayload(""), MachineProfile{});
  EXPECT_FALSE(splitProfileFields("a" + std::string(MARK_PROFILE_FIELD_SEP) + "b"));
}

}  // namespace
}  // namespace zorvi
