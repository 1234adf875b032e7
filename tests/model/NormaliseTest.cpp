#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <functional>
#include <random>

#include "model/Defaults.h"
#include "model/Normalise.h"

namespace {

TIgnParams DefaultRecord() {
  TIgnParams p{};
  LoadDefaultParams(p);
  return p;
}

using TCurve = std::array<int, CurvePoints>;

TCurve CurveOf(const TIgnParams& p) {
  TCurve c{};
  for (int i = 0; i < CurvePoints; ++i) c[i] = p.RpmAdv[i];
  return c;
}

void Normalise(TIgnParams& p) {
  TLanguage language = LangEnglish;
  std::uint8_t port = 1;
  NormaliseParams(p, language, port);
}

} // namespace

TEST(NormaliseParams, CurveSpeedsClampedAndRising) {
  struct TCase {
    const char* Name;
    std::function<void(TIgnParams&)> Edit;
    TCurve Expected;
  };
  const TCase cases[] = {
      {"all points at 1000 rpm",
       [](TIgnParams& p) { std::memset(p.RpmAdv, 10, sizeof p.RpmAdv); },
       {10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24}},
      {"point 1 at 500 rpm raised to 600",
       [](TIgnParams& p) { p.RpmAdv[0] = 5; },
       {6, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120, 130, 140, 150}},
      {"point 15 at 20100 rpm lowered to 20000",
       [](TIgnParams& p) { p.RpmAdv[14] = 201; },
       {10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120, 130, 140, 200}},
      {"point 1 at 20000 rpm lowered to 18600 and pushes the rest",
       [](TIgnParams& p) { p.RpmAdv[0] = 200; },
       {186, 187, 188, 189, 190, 191, 192, 193, 194, 195, 196, 197, 198, 199, 200}},
      {"a lowered point is pushed above its predecessor and the push travels",
       [](TIgnParams& p) { p.RpmAdv[2] = p.RpmAdv[3] = p.RpmAdv[4] = 15; },
       {10, 20, 21, 22, 23, 60, 70, 80, 90, 100, 110, 120, 130, 140, 150}},
      {"a point is never pulled down by its successor",
       [](TIgnParams& p) { p.RpmAdv[1] = 100; },
       {10, 100, 101, 102, 103, 104, 105, 106, 107, 108, 110, 120, 130, 140, 150}},
      {"every point at 0 gets its lowest speed",
       [](TIgnParams& p) { std::memset(p.RpmAdv, 0, sizeof p.RpmAdv); },
       {6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20}},
      {"every point at 255 gets its highest speed",
       [](TIgnParams& p) { std::memset(p.RpmAdv, 255, sizeof p.RpmAdv); },
       {186, 187, 188, 189, 190, 191, 192, 193, 194, 195, 196, 197, 198, 199, 200}},
      {"points beyond PocetBodu are normalised too",
       [](TIgnParams& p) {
         p.PocetBodu = 2;
         p.RpmAdv[9] = 0;
         p.RpmAdv[14] = 255;
       },
       {10, 20, 30, 40, 50, 60, 70, 80, 90, 91, 110, 120, 130, 140, 200}},
  };
  for (const auto& c : cases) {
    TIgnParams p = DefaultRecord();
    c.Edit(p);
    Normalise(p);
    EXPECT_EQ(CurveOf(p), c.Expected) << c.Name;
  }
}

TEST(NormaliseParams, StartLimiterNeverAboveLimiter) {
  struct TCase {
    int Omez1, Omez2, Omez1After, Omez2After;
  } const cases[] = {
      {160, 150, 150, 150}, {150, 150, 150, 150}, {100, 150, 100, 150}, {255, 0, 0, 0}};
  for (const auto& c : cases) {
    TIgnParams p = DefaultRecord();
    p.Omez1 = static_cast<std::uint8_t>(c.Omez1);
    p.Omez2 = static_cast<std::uint8_t>(c.Omez2);
    Normalise(p);
    EXPECT_EQ(p.Omez1, c.Omez1After) << c.Omez1 << "/" << c.Omez2;
    EXPECT_EQ(p.Omez2, c.Omez2After) << c.Omez1 << "/" << c.Omez2;
  }
}

TEST(NormaliseParams, TwoStrokeSemCapsCurveAtBaseAdvance) {
  TIgnParams p = DefaultRecord();
  p.Bike = 7;
  p.BaseAdv = 10;
  std::memset(p.Advance, 20, sizeof p.Advance);
  p.Advance[3] = 4;
  Normalise(p);
  for (int i = 0; i < CurvePoints; ++i) EXPECT_EQ(p.Advance[i], i == 3 ? 4 : 10) << i;

  // Raising the base advance afterwards does not raise the curve again.
  p.BaseAdv = 30;
  Normalise(p);
  for (int i = 0; i < CurvePoints; ++i) EXPECT_EQ(p.Advance[i], i == 3 ? 4 : 10) << i;

  // Other keying types keep a curve above the base advance.
  for (std::uint8_t bike : {0, 1, 3, 6, 8}) {
    TIgnParams q = DefaultRecord();
    q.Bike = bike;
    std::memset(q.Advance, 20, sizeof q.Advance);
    Normalise(q);
    EXPECT_EQ(q.Advance[0], 20) << int(bike);
  }
}

TEST(NormaliseParams, LanguageAndPortSanitised) {
  struct TCase {
    int Language, Port, LanguageAfter, PortAfter;
  } const cases[] = {{7, 11, 0, 1}, {3, 10, 3, 10}, {4, 0, 0, 0}, {255, 255, 0, 1}, {1, 1, 1, 1}};
  for (const auto& c : cases) {
    TIgnParams p = DefaultRecord();
    TLanguage language = static_cast<TLanguage>(c.Language);
    std::uint8_t port = static_cast<std::uint8_t>(c.Port);
    NormaliseParams(p, language, port);
    EXPECT_EQ(language, c.LanguageAfter) << c.Language;
    EXPECT_EQ(port, c.PortAfter) << c.Port;
  }
}

// Any record from a file or the unit comes out satisfying every invariant, and a second
// pass changes nothing; bytes other than the curve, Omez1 and the capped advances stay.
TEST(NormaliseParams, AnyRecordMeetsInvariantsAndIsStable) {
  std::mt19937 rng(4711);
  for (int n = 0; n < 2000; ++n) {
    TIgnParams p;
    auto* bytes = reinterpret_cast<std::uint8_t*>(&p);
    for (std::size_t i = 0; i < sizeof p; ++i) bytes[i] = static_cast<std::uint8_t>(rng());
    if (n % 4 == 0) p.Bike = 7;
    const TIgnParams before = p;
    Normalise(p);
    for (int i = 0; i < CurvePoints; ++i) {
      ASSERT_GE(p.RpmAdv[i], i + 6);
      ASSERT_LE(p.RpmAdv[i], i + 186);
      if (i > 0) {
        ASSERT_GT(p.RpmAdv[i], p.RpmAdv[i - 1]);
      }
      if (p.Bike == 7) {
        ASSERT_LE(p.Advance[i], p.BaseAdv);
      } else {
        ASSERT_EQ(p.Advance[i], before.Advance[i]);
      }
    }
    ASSERT_LE(p.Omez1, p.Omez2);
    ASSERT_EQ(std::memcmp(&p, &before, offsetof(TIgnParams, Omez1)), 0);
    ASSERT_EQ(std::memcmp(&p.Omez2, &before.Omez2, offsetof(TIgnParams, RpmAdv) - 4), 0);
    const TIgnParams once = p;
    Normalise(p);
    ASSERT_EQ(std::memcmp(&p, &once, sizeof p), 0);
  }
}
