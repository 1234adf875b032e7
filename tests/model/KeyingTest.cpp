#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "model/Conversions.h"
#include "model/Keying.h"

TEST(Keying, TableInBothDirectionsWithForcedValues) {
  struct TRow {
    int Index;
    const char* Text;
    int Code, Polarity, Geber; // -1: user's choice
  } const rows[] = {
      {0, "Standard", 0, -1, -1},
      {1, "Honda CBF250", 4, 2, 1},
      {2, "Husaberg 4T SEM", 6, 0, 1},
      {3, "Kawasaki KLR 600 older model", 1, 0, 1},
      {4, "KTM 4T SEM", 3, 1, 1},
      {5, "Suzuki Freewind", 5, 2, 1},
      {6, "Yamaha XT 600 older model", 2, 0, 1},
      {7, "2T SEM", 7, 0, 1},
  };
  for (const auto& r : rows) {
    std::uint8_t code = 99, index = 99;
    EXPECT_TRUE(BikeIndexToCode(static_cast<std::uint8_t>(r.Index), code));
    EXPECT_EQ(code, r.Code) << r.Text;
    EXPECT_TRUE(BikeCodeToIndex(static_cast<std::uint8_t>(r.Code), index));
    EXPECT_EQ(index, r.Index) << r.Text;
    EXPECT_EQ(std::string(BikeItemTexts[r.Index]), r.Text);
    const auto polarity = ForcedPolarity(code);
    const auto geber = ForcedGeberNr(code);
    EXPECT_EQ(polarity ? int(*polarity) : -1, r.Polarity) << r.Text;
    EXPECT_EQ(geber ? int(*geber) : -1, r.Geber) << r.Text;
  }
}

TEST(Keying, OutOfTableLeavesTargetUnchanged) {
  for (int v : {8, 9, 100, 255}) {
    std::uint8_t code = 42, index = 43;
    EXPECT_FALSE(BikeIndexToCode(static_cast<std::uint8_t>(v), code));
    EXPECT_FALSE(BikeCodeToIndex(static_cast<std::uint8_t>(v), index));
    EXPECT_EQ(code, 42);
    EXPECT_EQ(index, 43);
    EXPECT_FALSE(ForcedPolarity(static_cast<std::uint8_t>(v)));
  }
}

TEST(Keying, RuleForcesPolarityAndIgnitionsExceptForStandard) {
  struct TCase {
    int Bike, PolarityAfter, GeberAfter;
    bool Forced;
  } const cases[] = {{3, 1, 1, true}, {4, 2, 1, true}, {0, 0, 2, false}, {9, 0, 2, false}};
  for (const auto& c : cases) {
    TIgnParams p{};
    p.Bike = static_cast<std::uint8_t>(c.Bike);
    p.Polarita = 0;
    p.GeberNr = 2;
    EXPECT_EQ(ApplyKeyingRule(p), c.Forced) << c.Bike;
    EXPECT_EQ(p.Polarita, c.PolarityAfter) << c.Bike;
    EXPECT_EQ(p.GeberNr, c.GeberAfter) << c.Bike;
  }
}

TEST(Conversions, ScreenAndRecordAtRangeEnds) {
  EXPECT_EQ(SpeedToStored(RangeOmez1.Min), 9);
  EXPECT_EQ(SpeedToScreen(9), 900);
  EXPECT_EQ(SpeedToStored(1250), 12);
  EXPECT_EQ(SpeedToScreen(SpeedToStored(1250)), 1200);
  EXPECT_EQ(SpeedToStored(RangeOmez2.Max), 250);
  EXPECT_EQ(SpeedToStored(RangeRpmAdv.Min), 6);
  EXPECT_EQ(SpeedToStored(RangeRpmAdv.Max), 201);
  EXPECT_EQ(SpeedToStored(RangeLedRazeni.Min), 10);
  EXPECT_EQ(ClutchToStored(RangeClutch1.Max), 250);
  EXPECT_EQ(ClutchToStored(255), 25);
  EXPECT_EQ(ClutchToScreen(25), 250);
  EXPECT_EQ(CorrectionToStored(RangeRpmKorekce.Min), 40);
  EXPECT_EQ(CorrectionToStored(RangeRpmKorekce.Max), 160);
  EXPECT_EQ(CorrectionToScreen(40), -60);
  EXPECT_EQ(CorrectionToScreen(100), 0);

  // Every spinner's range ends must fit a record byte after conversion.
  struct TRange {
    TSpinRange Range;
    int Divisor, Offset;
  } const ranges[] = {{RangePocetBodu, 1, 0},    {RangeBaseAdv, 1, 0},  {RangeOmez1, 100, 0},
                      {RangeOmez2, 100, 0},      {RangeRetard, 1, 0},   {RangeLedRazeni, 100, 0},
                      {RangeClutch1, 10, 0},     {RangeClutch2, 10, 0}, {RangeRpmPulsu, 1, 0},
                      {RangeRpmKorekce, 1, 100}, {RangeRpmAdv, 100, 0}, {RangeAdvance, 1, 0}};
  for (const auto& r : ranges) {
    EXPECT_GE(r.Range.Min / r.Divisor + r.Offset, 0);
    EXPECT_LE(r.Range.Max / r.Divisor + r.Offset, 255);
    EXPECT_LT(r.Range.Min, r.Range.Max);
  }
}

TEST(Conversions, GeberNrItemIndex) {
  struct TCase {
    int Code, Index;
  } const cases[] = {{1, 0}, {2, 1}, {3, 2}, {0, 3}};
  for (const auto& c : cases) {
    EXPECT_EQ(GeberNrToIndex(static_cast<std::uint8_t>(c.Code)), c.Index);
    EXPECT_EQ(GeberNrFromIndex(c.Index), c.Code);
  }
  // Codes from a file outside 0..3 still give a valid item index.
  for (int code : {4, 7, 255}) {
    const int index = GeberNrToIndex(static_cast<std::uint8_t>(code));
    EXPECT_GE(index, 0);
    EXPECT_LT(index, GeberNrItemCount);
  }
  EXPECT_EQ(GeberNrFromIndex(-1), 0);
  EXPECT_EQ(GeberNrFromIndex(-6), 3);
}

TEST(Conversions, IndexGuardsForOutOfRangeFields) {
  struct TCase {
    int Value, PointsInUse, PolarityIndex, InputIndex;
  } const cases[] = {{0, 0, 0, 0}, {1, 1, 1, 1},   {2, 2, 2, 2},   {3, 3, 2, 3},   {4, 4, 2, 4},
                     {5, 5, 2, 4}, {15, 15, 2, 4}, {16, 15, 2, 4}, {255, 15, 2, 4}};
  for (const auto& c : cases) {
    TIgnParams p{};
    p.PocetBodu = p.Polarita = static_cast<std::uint8_t>(c.Value);
    EXPECT_EQ(CurvePointsInUse(p), c.PointsInUse) << c.Value;
    EXPECT_EQ(PolarityIndex(p), c.PolarityIndex) << c.Value;
    EXPECT_EQ(InputIndex(static_cast<std::uint8_t>(c.Value)), c.InputIndex) << c.Value;
  }
}
