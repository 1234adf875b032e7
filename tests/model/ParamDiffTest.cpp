#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "model/Defaults.h"
#include "model/ParamDiff.h"

namespace {

TIgnParams Base() {
  TIgnParams p{};
  LoadDefaultParams(p);
  return p;
}

using V = TFieldValue;

} // namespace

TEST(ParamDiff, EachFieldByItsCaptionInTheUsersUnits) {
  struct {
    const char* Name;
    void (*Change)(TIgnParams&);
    const char* Caption;
    int Point;
    TFieldValue Left, Right;
    // clang-format off
  } const cases[] = {
      {"start limiter", [](TIgnParams& p) { p.Omez1 = 99; }, "LabelOmez1", 0, {V::Number, 10000}, {V::Number, 9900}},
      {"clutch time", [](TIgnParams& p) { p.Clutch1 = 25; }, "LabelClutch1", 0, {V::Number, 200}, {V::Number, 250}},
      {"correction", [](TIgnParams& p) { p.RpmKorekce = 40; }, "LabelRpmKorekce", 0, {V::Number, 0}, {V::Number, -60}},
      {"base advance", [](TIgnParams& p) { p.BaseAdv = 12; }, "LabelBaseAdv", 0, {V::Number, 10}, {V::Number, 12}},
      {"keying type", [](TIgnParams& p) { p.Bike = 3; }, "ComboBoxBike", 0, {V::Item, 0}, {V::Item, 4}},
      {"keying code off the list", [](TIgnParams& p) { p.Bike = 9; }, "ComboBoxBike", 0, {V::Item, 0}, {V::Raw, 9}},
      {"ignitions", [](TIgnParams& p) { p.GeberNr = 0; }, "ComboBoxPocPalcu", 0, {V::Item, 0}, {V::Item, 3}},
      {"ignitions off the list", [](TIgnParams& p) { p.GeberNr = 5; }, "ComboBoxPocPalcu", 0, {V::Item, 0}, {V::Raw, 5}},
      {"polarity off the list", [](TIgnParams& p) { p.Polarita = 3; }, "RadioGroupPolarita", 0, {V::Item, 2}, {V::Raw, 3}},
      {"input 2", [](TIgnParams& p) { p.Input2 = 4; }, "RadioGroupInput2", 0, {V::Item, 0}, {V::Item, 4}},
      {"reversed output", [](TIgnParams& p) { p.RevOutLedRazeni = 1; }, "CheckBoxRevOutLedRazeni", 0, {V::Flag, 0}, {V::Flag, 1}},
      {"reversed output 2", [](TIgnParams& p) { p.RevOutLedRazeni = 2; }, "CheckBoxRevOutLedRazeni", 0, {V::Flag, 0}, {V::Raw, 2}},
      {"uninterpreted byte", [](TIgnParams& p) { p.Reserved19 = 0x5A; }, "RecordByte", 0, {V::Raw, 0}, {V::Raw, 0x5A}},
      {"curve speed", [](TIgnParams& p) { p.RpmAdv[2] = 31; }, "LabelRpm1", 3, {V::Number, 3000}, {V::Number, 3100}},
      {"last curve advance", [](TIgnParams& p) { p.Advance[14] = 60; }, "LabelAdvance1", 15, {V::Number, 10}, {V::Number, 60}},
  };
  // clang-format on
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TIgnParams left = Base(), right = Base();
    left.Input1 = left.Input2 = left.Bike = 0;
    right.Input1 = right.Input2 = right.Bike = 0;
    c.Change(right);
    const std::vector<TParamDifference> d = DiffParams(left, right);
    ASSERT_EQ(d.size(), 1u);
    EXPECT_STREQ(d[0].Field->CaptionKey, c.Caption);
    EXPECT_EQ(d[0].Field->Point, c.Point);
    EXPECT_EQ(d[0].Left, c.Left);
    EXPECT_EQ(d[0].Right, c.Right);
  }
}

TEST(ParamDiff, EqualRecordsNothingEveryByteChangedAllFiftyInOrder) {
  const TIgnParams p = Base();
  EXPECT_TRUE(DiffParams(p, p).empty());
  TIgnParams q = p;
  auto* bytes = reinterpret_cast<std::uint8_t*>(&q);
  for (int i = 0; i < BlockSize; ++i) bytes[i] ^= 0x80;
  const std::vector<TParamDifference> d = DiffParams(p, q);
  ASSERT_EQ(d.size(), std::size_t(BlockSize));
  for (int i = 0; i < BlockSize; ++i) EXPECT_EQ(d[i].Field->Offset, i);
  // The four bytes no control shows are named by their offset.
  int bytesByOffset = 0;
  for (const TParamField& f : ParamFields())
    bytesByOffset += std::strcmp(f.CaptionKey, "RecordByte") == 0;
  EXPECT_EQ(bytesByOffset, 4);
}
