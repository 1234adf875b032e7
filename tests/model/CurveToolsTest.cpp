// The curve tools on the record: which points a click selects, what each operation does to
// the selected points, and which points the ranges and the normalisation then hold elsewhere.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

#include "model/CurveTools.h"
#include "model/Defaults.h"
#include "model/Keying.h"

namespace {

using TSel = TCurveSelection;

TSel Points(std::initializer_list<int> indices) {
  TSel s;
  for (int i : indices) s = s | TSel::Point(i);
  return s;
}

// Five points at 1000 .. 5000 rpm with 10, 18, 26, 32, 34 degrees; the hidden ten beyond.
TIgnParams FivePoints() {
  TIgnParams p{};
  LoadDefaultParams(p);
  p.PocetBodu = 5;
  const std::uint8_t advance[5] = {10, 18, 26, 32, 34};
  for (int i = 0; i < 5; ++i) p.Advance[i] = advance[i];
  return p;
}

std::vector<int> Speeds(const TIgnParams& p) {
  std::vector<int> v;
  for (int i = 0; i < p.PocetBodu; ++i) v.push_back(p.RpmAdv[i] * 100);
  return v;
}

std::vector<int> Advances(const TIgnParams& p) {
  std::vector<int> v;
  for (int i = 0; i < p.PocetBodu; ++i) v.push_back(p.Advance[i]);
  return v;
}

} // namespace

TEST(CurveTools, ClicksSelectAloneARangeOrOneMore) {
  struct TCase {
    TSel Current;
    int Anchor, Index;
    bool Shift, Ctrl;
    TSel Expected;
  } cases[] = {
      {Points({0, 1}), 0, 3, false, false, Points({3})},
      {Points({1}), 1, 4, true, false, Points({1, 2, 3, 4})},
      {Points({4}), 4, 1, true, false, Points({1, 2, 3, 4})}, // upwards too
      {Points({1}), 1, 3, false, true, Points({1, 3})},
      {Points({1, 3}), 3, 3, false, true, Points({1})},      // Ctrl takes one out again
      {Points({0}), 6, 8, true, true, Points({0, 6, 7, 8})}, // Ctrl+Shift adds the range
      {Points({2}), -1, 4, true, false, Points({4})},        // no anchor yet
      {Points({2}), 2, 15, false, false, Points({2})},       // no such point
  };
  for (const TCase& c : cases)
    EXPECT_EQ(ClickedSelection(c.Current, c.Anchor, c.Index, c.Shift, c.Ctrl), c.Expected)
        << c.Anchor << " -> " << c.Index;

  EXPECT_EQ(TSel::All(5), Points({0, 1, 2, 3, 4}));
  EXPECT_EQ(TSel::All(40), TSel::All(15));
  EXPECT_EQ(Points({1, 7, 12}).Within(8), Points({1, 7}));
  EXPECT_EQ(Points({3, 9}).First(), 3);
  EXPECT_EQ(Points({3, 9}).Last(), 9);
  EXPECT_EQ(TSel().First(), -1);
  EXPECT_EQ(TSel::All(15).Count(), 15);
}

TEST(CurveTools, OperationsChangeTheSelectedPointsInUseOnly) {
  struct TCase {
    const char* Name;
    std::function<bool(TCurveDraft&)> Operation;
    std::vector<int> Rpm, Advance;
    TSel Adjusted;
  } cases[] = {
      {"add",
       [](TCurveDraft& d) {
         return AddDegrees(d, Points({1, 3}), 2);
       },
       {1000, 2000, 3000, 4000, 5000},
       {10, 20, 26, 34, 34},
       {}},
      {"add below 0",
       [](TCurveDraft& d) {
         return AddDegrees(d, Points({0, 1}), -15);
       },
       {1000, 2000, 3000, 4000, 5000},
       {0, 3, 26, 32, 34},
       Points({0})},
      {"add beyond 60",
       [](TCurveDraft& d) { return AddDegrees(d, TSel::All(5), 30); },
       {1000, 2000, 3000, 4000, 5000},
       {40, 48, 56, 60, 60},
       Points({3, 4})},
      {"set",
       [](TCurveDraft& d) {
         return SetDegrees(d, Points({0, 4}), 22);
       },
       {1000, 2000, 3000, 4000, 5000},
       {22, 18, 26, 32, 22},
       {}},
      {"interpolate by speed",
       [](TCurveDraft& d) {
         return InterpolateAdvance(d, Points({0, 4}));
       },
       {1000, 2000, 3000, 4000, 5000},
       {10, 16, 22, 28, 34},
       {}},
      {"interpolate rounds halves up",
       [](TCurveDraft& d) {
         return SetDegrees(d, Points({2}), 11) && InterpolateAdvance(d, Points({0, 2}));
       },
       {1000, 2000, 3000, 4000, 5000},
       {10, 11, 11, 32, 34},
       {}},
      {"smooth keeps the ends",
       [](TCurveDraft& d) { return SmoothAdvance(d, TSel::All(5)); },
       {1000, 2000, 3000, 4000, 5000},
       {10, 18, 25, 31, 34},
       {}},
      {"smooth only the selected inner points",
       [](TCurveDraft& d) {
         return SmoothAdvance(d, Points({0, 2, 4}));
       },
       {1000, 2000, 3000, 4000, 5000},
       {10, 18, 25, 32, 34},
       {}},
      {"scale speeds",
       [](TCurveDraft& d) { return ScaleSpeeds(d, TSel::All(5), 125); },
       {1300, 2500, 3800, 5000, 6300},
       {10, 18, 26, 32, 34},
       {}},
      {"scale one past its neighbours pushes them up",
       [](TCurveDraft& d) { return ScaleSpeeds(d, Points({1}), 250); },
       {1000, 5000, 5100, 5200, 5300},
       {10, 18, 26, 32, 34},
       Points({2, 3, 4})},
      {"scale down to the lowest speed",
       [](TCurveDraft& d) { return ScaleSpeeds(d, Points({0}), 10); },
       {600, 2000, 3000, 4000, 5000},
       {10, 18, 26, 32, 34},
       Points({0})},
      {"shift",
       [](TCurveDraft& d) {
         return ShiftPoints(d, Points({2, 3}), 3, -2);
       },
       {1000, 2000, 3300, 4300, 5000},
       {10, 18, 24, 30, 34},
       {}},
      {"shift past the next point",
       [](TCurveDraft& d) { return ShiftPoints(d, Points({2}), 20, 0); },
       {1000, 2000, 5000, 5100, 5200},
       {10, 18, 26, 32, 34},
       Points({3, 4})},
      {"insert halfway",
       [](TCurveDraft& d) { return InsertPointBefore(d, 2); },
       {1000, 2000, 2500, 3000, 4000, 5000},
       {10, 18, 22, 26, 32, 34},
       {}},
      {"insert before the first",
       [](TCurveDraft& d) { return InsertPointBefore(d, 0); },
       {800, 1000, 2000, 3000, 4000, 5000},
       {10, 10, 18, 26, 32, 34},
       {}},
      {"remove",
       [](TCurveDraft& d) {
         return RemovePoints(d, Points({1, 3}));
       },
       {1000, 3000, 5000},
       {10, 26, 34},
       {}},
  };
  for (const TCase& c : cases) {
    const TIgnParams before = FivePoints();
    TCurveDraft draft = CurveDraftOf(before);
    ASSERT_TRUE(c.Operation(draft)) << c.Name;
    const TCurveToolResult result = FinishCurveDraft(before, draft);
    EXPECT_EQ(Speeds(result.Params), c.Rpm) << c.Name;
    EXPECT_EQ(Advances(result.Params), c.Advance) << c.Name;
    EXPECT_EQ(result.Adjusted, c.Adjusted) << c.Name;
  }
}

TEST(CurveTools, OperationsThatCannotActLeaveTheDraftAlone) {
  struct TCase {
    const char* Name;
    std::function<bool(TCurveDraft&)> Operation;
  } cases[] = {
      {"add to nothing", [](TCurveDraft& d) { return AddDegrees(d, {}, 3); }},
      {"set hidden points only",
       [](TCurveDraft& d) {
         return SetDegrees(d, Points({7, 9}), 3);
       }},
      {"interpolate one point", [](TCurveDraft& d) { return InterpolateAdvance(d, Points({2})); }},
      {"interpolate neighbours",
       [](TCurveDraft& d) {
         return InterpolateAdvance(d, Points({2, 3}));
       }},
      {"smooth two points",
       [](TCurveDraft& d) {
         return SmoothAdvance(d, Points({1, 3}));
       }},
      {"scale nothing", [](TCurveDraft& d) { return ScaleSpeeds(d, {}, 200); }},
      {"insert beyond the points", [](TCurveDraft& d) { return InsertPointBefore(d, 5); }},
      {"remove every point", [](TCurveDraft& d) { return RemovePoints(d, TSel::All(5)); }},
      {"remove nothing", [](TCurveDraft& d) { return RemovePoints(d, {}); }},
  };
  for (const TCase& c : cases) {
    const TCurveDraft before = CurveDraftOf(FivePoints());
    TCurveDraft draft = before;
    EXPECT_FALSE(c.Operation(draft)) << c.Name;
    EXPECT_EQ(std::memcmp(&draft, &before, sizeof draft), 0) << c.Name;
  }
  // Fifteen points leave no room; one point is the least a curve has.
  TIgnParams full = FivePoints();
  full.PocetBodu = 15;
  TCurveDraft draft = CurveDraftOf(full);
  EXPECT_FALSE(InsertPointBefore(draft, 3));
  TIgnParams one = FivePoints();
  one.PocetBodu = 1;
  draft = CurveDraftOf(one);
  EXPECT_FALSE(RemovePoints(draft, Points({0})));
}

TEST(CurveTools, FinishingHoldsTheRangesAndTheRecordsRules) {
  // Pasted values beyond every range: the spinners' ends, then the rising speeds.
  TIgnParams p = FivePoints();
  TCurveDraft d = CurveDraftOf(p);
  const TCurveTablePoint pasted[] = {{-500, -3}, {1250, 30}, {1100, 12}, {25000, 70}};
  SetCurvePoints(d, pasted, 4);
  TCurveToolResult r = FinishCurveDraft(p, d);
  EXPECT_EQ(Speeds(r.Params), (std::vector<int>{600, 1200, 1300, 18900}));
  EXPECT_EQ(Advances(r.Params), (std::vector<int>{0, 30, 12, 60}));
  // 1250 is stored as 1200, as a typed speed is; not an adjustment of its own.
  EXPECT_EQ(r.Adjusted, Points({0, 2, 3}));
  EXPECT_EQ(int(r.Params.PocetBodu), 4);
  // The hidden points stay rising above the last one in use.
  for (int i = 1; i < CurvePoints; ++i) EXPECT_GT(r.Params.RpmAdv[i], r.Params.RpmAdv[i - 1]);

  // "2T SEM" holds every advance at the base advance.
  p = FivePoints();
  p.Bike = BikeCode2TSem;
  p.BaseAdv = 20;
  for (auto& a : p.Advance) a = std::min<std::uint8_t>(a, 20);
  d = CurveDraftOf(p);
  AddDegrees(d, Points({0, 1}), 5);
  r = FinishCurveDraft(p, d);
  EXPECT_EQ(Advances(r.Params), (std::vector<int>{15, 20, 20, 20, 20}));
  EXPECT_EQ(r.Adjusted, Points({1}));

  // Everything but the curve and its number of points stays as it was.
  p = FivePoints();
  p.Omez2 = 140, p.Reserved7 = 0x5A, p.Clutch1 = 33;
  d = CurveDraftOf(p);
  InsertPointBefore(d, 4);
  r = FinishCurveDraft(p, d);
  EXPECT_EQ(int(r.Params.PocetBodu), 6);
  EXPECT_EQ(int(r.Params.Omez2), 140);
  EXPECT_EQ(int(r.Params.Reserved7), 0x5A);
  EXPECT_EQ(int(r.Params.Clutch1), 33);

  // Points crowded 100 rpm apart: the inserted one must push its successors up.
  p = FivePoints();
  for (int i = 0; i < CurvePoints; ++i) p.RpmAdv[i] = static_cast<std::uint8_t>(10 + i);
  d = CurveDraftOf(p);
  InsertPointBefore(d, 1);
  r = FinishCurveDraft(p, d);
  EXPECT_EQ(Speeds(r.Params), (std::vector<int>{1000, 1100, 1200, 1300, 1400, 1500}));
  EXPECT_EQ(r.Adjusted, Points({1, 2, 3, 4, 5}));
}
