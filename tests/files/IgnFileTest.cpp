#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <sstream>
#include <string>

#include "files/IgnFile.h"
#include "model/Defaults.h"

namespace {

TIgnParams DefaultRecord() {
  TIgnParams p;
  std::memset(&p, 0, sizeof p);
  LoadDefaultParams(p);
  return p;
}

std::string Write(const TIgnParams& p) {
  std::ostringstream out(std::ios::binary);
  EXPECT_TRUE(WriteIgnFile(out, p));
  return out.str();
}

bool Read(const std::string& text, TIgnParams& p) {
  return ReadIgnFile(text, p);
}

bool Same(const TIgnParams& a, const TIgnParams& b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

const std::string DefaultFile = "ZANDERIX_KEY   67 \r\n"
                                "\r\n"
                                "BIKE            0 \r\n"
                                "RPM_ADV      1000  2000  3000  4000  5000  6000  7000  8000  9000 "
                                "10000 11000 12000 13000 14000 15000 \r\n"
                                "ADVANCE        10    10    10    10    10    10    10    10    10 "
                                "   10    10    10    10    10    10 \r\n"
                                "POCET_BODU      2 \r\n"
                                "BASE_ADV       10 \r\n"
                                "LIMITER       100   150     6 \r\n"
                                "POLARITA        2 \r\n"
                                "GEBER_NR        1 \r\n"
                                "PILOT_LIGHT       12000 \r\n"
                                "REV_OUT_PILOT_LIGHT   0\r\n"
                                "CLUTCH        200  1000 \r\n"
                                "RPM             1     0 \r\n"
                                "INPUT           0     0 ";

} // namespace

TEST(WriteIgnFile, DefaultSetIsByteExact) {
  EXPECT_EQ(Write(DefaultRecord()), DefaultFile);
}

TEST(WriteIgnFile, FieldFormats) {
  TIgnParams p = DefaultRecord();
  p.Bike = 3;
  p.RevOutLedRazeni = 1;
  p.RpmKorekce = 40;
  p.Input1 = 4;
  p.Input2 = 2;
  p.RpmAdv[14] = 255;
  p.Clutch1 = 255;
  const std::string file = Write(p);
  struct TCase {
    const char* Line;
  } const cases[] = {{"\r\nBIKE            3 \r\n"},       {" 14000 25500 \r\n"},
                     {"\r\nREV_OUT_PILOT_LIGHT   1\r\n"},  {"\r\nCLUTCH       2550  1000 \r\n"},
                     {"\r\nRPM             1   -60 \r\n"}, {"\r\nINPUT           4     2 "}};
  for (const auto& c : cases) EXPECT_NE(file.find(c.Line), std::string::npos) << c.Line;
  EXPECT_EQ(file.substr(file.size() - 2), "2 ");

  std::ostringstream broken;
  broken.setstate(std::ios::badbit);
  EXPECT_FALSE(WriteIgnFile(broken, p));
}

TEST(ReadIgnFile, RoundTripOfRandomRecordsKeepsUncarriedBytes) {
  std::mt19937 rng(1234);
  for (int n = 0; n < 500; ++n) {
    TIgnParams p;
    auto* bytes = reinterpret_cast<std::uint8_t*>(&p);
    for (std::size_t i = 0; i < sizeof p; ++i) bytes[i] = static_cast<std::uint8_t>(rng());
    p.RevOutLedRazeni &= 1; // the file carries it as a flag
    TIgnParams q;
    std::memset(&q, 0x77, sizeof q);
    ASSERT_TRUE(Read(Write(p), q));
    for (const std::size_t uncarried : {7u, 8u, 15u, 19u}) {
      auto* qb = reinterpret_cast<std::uint8_t*>(&q);
      ASSERT_EQ(qb[uncarried], 0x77) << uncarried;
      qb[uncarried] = bytes[uncarried];
    }
    ASSERT_TRUE(Same(p, q)) << Write(p);
  }
}

TEST(ReadIgnFile, FlagReadsBackAsWritten) {
  TIgnParams p = DefaultRecord();
  p.RevOutLedRazeni = 5;
  TIgnParams q = DefaultRecord();
  ASSERT_TRUE(Read(Write(p), q));
  EXPECT_EQ(q.RevOutLedRazeni, 1);
}

TEST(ReadIgnFile, RejectsWithoutMagicKey67AndLeavesRecordUntouched) {
  const char* files[] = {
      "",
      "   \r\n\t ",
      "ZANDERIX_KEY   66 \r\n\r\nBIKE 3",
      "ZANDERIX_KEY",
      "ZANDERIX_KEY -67 BIKE 3",
      "ZANDERIX_KEY 323 BIKE 3",        // low 8 bits are 67, the number is not
      "ZANDERIX_KEY 4294967363 BIKE 3", // 2^32 + 67
      "zanderix_key 67 BIKE 3",
      "ZANDERIX_KEY67 BIKE 3",
      "XZANDERIX_KEY 67 BIKE 3",
      "ZANDERIX_KEY 67.0 BIKE 3",
      "BIKE 3 RPM_ADV 1000",
  };
  for (const char* f : files) {
    TIgnParams p = DefaultRecord();
    p.Bike = 5;
    const TIgnParams before = p;
    EXPECT_FALSE(Read(f, p)) << f;
    EXPECT_TRUE(Same(p, before)) << f;
  }
}

TEST(ReadIgnFile, FindsMagicKeyAfterOtherText) {
  const char* files[] = {
      "; setting of the red bike\r\nZANDERIX_KEY   67 \r\nBIKE 3",
      "ZANDERIX_KEY   66 \r\nBIKE 9\r\nZANDERIX_KEY   67 \r\nBIKE 3",
      "ZANDERIX_KEY ZANDERIX_KEY 67 BIKE 3",
      "ZANDERIX_KEY 066 ZANDERIX_KEY 067 BIKE 3",
  };
  for (const char* f : files) {
    TIgnParams p = DefaultRecord();
    EXPECT_TRUE(Read(f, p)) << f;
    EXPECT_EQ(p.Bike, 3) << f;
  }
}

TEST(ReadIgnFile, GroupsAndTheirFields) {
  struct TCase {
    const char* Body;
    std::size_t Offset;
    int Expected;
  } const cases[] = {
      {"RPM_ADV 1050", offsetof(TIgnParams, RpmAdv), 10},
      {"RPM_ADV 1 2 3 4 5 6 7 8 9 10 11 12 13 14 1599", offsetof(TIgnParams, RpmAdv) + 14, 15},
      {"CLUTCH 255 0", offsetof(TIgnParams, Clutch1), 25},
      {"CLUTCH 255 19", offsetof(TIgnParams, Clutch2), 1},
      {"RPM 1 -60", offsetof(TIgnParams, RpmKorekce), 40},
      {"RPM 1 +60", offsetof(TIgnParams, RpmKorekce), 160},
      {"RPM 1 -101", offsetof(TIgnParams, RpmKorekce), 255},
      {"PILOT_LIGHT 12099", offsetof(TIgnParams, LedRazeni), 120},
      {"REV_OUT_PILOT_LIGHT 1", offsetof(TIgnParams, RevOutLedRazeni), 1},
      {"LIMITER 160 150 7", offsetof(TIgnParams, Omez1), 160},
      {"LIMITER 160 150 7", offsetof(TIgnParams, Retard), 7},
      {"INPUT 3 4", offsetof(TIgnParams, Input2), 4},
      {"BIKE 1 BIKE 4", offsetof(TIgnParams, Bike), 4},
      {"ADVANCE 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15", offsetof(TIgnParams, Advance) + 6, 7},
      {"POCET_BODU 300", offsetof(TIgnParams, PocetBodu), 44}, // low 8 bits, no range test
      {"POLARITA 2 GEBER_NR 0", offsetof(TIgnParams, GeberNr), 0},
      {"BASE_ADV 0010", offsetof(TIgnParams, BaseAdv), 10},
      // Divisions on the low 16 bits: 65636 -> 100.
      {"RPM_ADV 65636", offsetof(TIgnParams, RpmAdv), 1},
      // Numbers beyond 32 bits keep their exact low bits: 2^32 + 3 and 10^20.
      {"BIKE 4294967299", offsetof(TIgnParams, Bike), 3},
      {"BIKE 100000000000000000000", offsetof(TIgnParams, Bike), 0},
      // Unknown keys and their numbers pass without effect.
      {"FOO 1 2 3 BIKE 6 BAR 7", offsetof(TIgnParams, Bike), 6},
      {"bike 6", offsetof(TIgnParams, Bike), 0},
      {"BIKE_X 6", offsetof(TIgnParams, Bike), 0},
      // An unsigned field takes digits only; the token is the next key candidate.
      {"BIKE +5 POLARITA 1", offsetof(TIgnParams, Bike), 0},
      {"BIKE +5 POLARITA 1", offsetof(TIgnParams, Polarita), 1},
      {"BIKE 5x RPM_ADV 700", offsetof(TIgnParams, RpmAdv), 7},
  };
  for (const auto& c : cases) {
    TIgnParams p = DefaultRecord();
    ASSERT_TRUE(Read(std::string("ZANDERIX_KEY 67\n") + c.Body, p)) << c.Body;
    EXPECT_EQ(reinterpret_cast<const std::uint8_t*>(&p)[c.Offset], c.Expected) << c.Body;
  }
}

TEST(ReadIgnFile, MissingGroupsKeepTheirFields) {
  TIgnParams p = DefaultRecord();
  p.Input1 = 3;
  p.Input2 = 4;
  std::string file = DefaultFile;
  file.erase(file.find("\r\nINPUT"));
  TIgnParams q = p;
  q.Bike = 6;
  ASSERT_TRUE(Read(file, q));
  EXPECT_EQ(q.Input1, 3);
  EXPECT_EQ(q.Input2, 4);
  EXPECT_EQ(q.Bike, 0);

  TIgnParams r = p;
  ASSERT_TRUE(Read("ZANDERIX_KEY 67", r));
  EXPECT_TRUE(Same(r, p));
}

TEST(ReadIgnFile, TruncatedGroupsStoreWhatCame) {
  TIgnParams p = DefaultRecord();
  ASSERT_TRUE(Read("ZANDERIX_KEY 67 RPM_ADV 5000 6000", p));
  EXPECT_EQ(p.RpmAdv[0], 50);
  EXPECT_EQ(p.RpmAdv[1], 60);
  EXPECT_EQ(p.RpmAdv[2], 30);

  p = DefaultRecord();
  ASSERT_TRUE(Read("ZANDERIX_KEY 67 LIMITER 50 BIKE 4 CLUTCH 300 INPUT", p));
  EXPECT_EQ(p.Omez1, 50);
  EXPECT_EQ(p.Omez2, 150);
  EXPECT_EQ(p.Retard, 6);
  EXPECT_EQ(p.Bike, 4);
  EXPECT_EQ(p.Clutch1, 30);
  EXPECT_EQ(p.Clutch2, 100);

  p = DefaultRecord();
  ASSERT_TRUE(Read("ZANDERIX_KEY 67 RPM 3 - POLARITA 1", p));
  EXPECT_EQ(p.RpmPulsu, 3);
  EXPECT_EQ(p.RpmKorekce, 100);
  EXPECT_EQ(p.Polarita, 1);
}

TEST(ReadIgnFile, OverlongTokensMatchNothing) {
  const std::string huge(100000, 'A');
  const std::string key261 = "BIKE" + std::string(257, '_');
  const std::string digits261 = std::string(260, '0') + "5";
  const std::string digits262 = std::string(261, '0') + "5";
  struct TCase {
    std::string File;
    int Bike, Polarita;
  } const cases[] = {
      {huge + " ZANDERIX_KEY 67 BIKE 3", 3, 2},
      {"ZANDERIX_KEY 67 " + huge + " BIKE 3 " + huge, 3, 2},
      {"ZANDERIX_KEY 67 BIKE" + huge + " 3", 0, 2},
      {"ZANDERIX_KEY 67 " + key261 + " 3", 0, 2},
      {"ZANDERIX_KEY 67 BIKE " + digits261 + " POLARITA 1", 5, 1},
      {"ZANDERIX_KEY 67 BIKE " + digits262 + " POLARITA 1", 0, 1},
      {"ZANDERIX_KEY 67 BIKE " + huge + "BIKE 7 POLARITA 1", 0, 1},
  };
  for (const auto& c : cases) {
    TIgnParams p = DefaultRecord();
    ASSERT_TRUE(Read(c.File, p)) << c.File.size();
    EXPECT_EQ(p.Bike, c.Bike) << c.File.size();
    EXPECT_EQ(p.Polarita, c.Polarita) << c.File.size();
  }
  TIgnParams p = DefaultRecord();
  EXPECT_FALSE(Read(std::string(300, 'Z') + "ZANDERIX_KEY 67", p));
}

TEST(ReadIgnFile, LineEndsAndWhiteSpacePlayNoPart) {
  TIgnParams p = DefaultRecord();
  p.Bike = 2;
  p.RpmKorekce = 40;
  p.Input1 = 1;
  const std::string crlf = Write(p);
  std::string lf;
  for (char c : crlf) {
    if (c != '\r') lf += c;
  }
  std::string spaced;
  for (char c : lf) spaced += c == ' ' ? std::string("\t\v \f") : std::string(1, c);
  const std::string variants[] = {crlf, crlf + "\r\n", lf, lf + "\n", spaced};
  for (const auto& v : variants) {
    TIgnParams q = DefaultRecord();
    ASSERT_TRUE(Read(v, q));
    EXPECT_TRUE(Same(p, q));
  }
}
