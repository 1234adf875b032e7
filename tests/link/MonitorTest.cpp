#include <gtest/gtest.h>

#include <array>
#include <cstdio>

#include "link/Monitor.h"

namespace {

TMessageCatalogue Catalogue(bool german = false) {
  TMessageCatalogue m;
  m.MsgAdvance = german ? "Vorzündung" : "Advance";
  m.MsgLimiter = german ? "Begrenzer" : "Limiter";
  m.MsgProgrammingCount = german ? "Programmierungsanzahl= " : "Number of Programing= ";
  m.MsgYes = german ? "Ja" : "Yes";
  m.MsgNo = german ? "Nein" : "No";
  m.MsgBasic = "Basic";
  m.MsgStartLimiter = "Start limiter";
  m.MsgShiftLight = "Gear shift light";
  m.MsgClutchMaster = "Clutch master";
  m.MsgRetard = "Retard";
  m.MsgMotorOff = "Motor off";
  m.MsgInput = "Input";
  m.MsgPickup = "Pick-up (CPS)";
  m.MsgIsRunning = " is running";
  m.MsgNoSignal = " no signal";
  m.MsgPolarity = "Polarity of CKPS";
  m.MsgPositive = "Positive";
  m.MsgNegative = "Negative";
  m.MsgUnitVersionMismatch = "Unmatched version of PC and Ignition programs!";
  return m;
}

// A running engine at 3000 rpm, 12.6 V, 20° of 30°, layout version 67; edits as {offset, byte}.
TMonitorView Show(std::initializer_list<std::pair<int, int>> edits, std::uint8_t omez2 = 150,
                  bool german = false) {
  std::array<std::uint8_t, 51> f{};
  f[0] = 0xB0, f[1] = 3000 & 0xFF, f[2] = 3000 >> 8, f[3] = 12600 & 0xFF, f[4] = 12600 >> 8;
  f[31] = 120, f[32] = 30, f[34] = 1, f[42] = 1, f[50] = 67;
  for (auto [offset, value] : edits) f[offset] = static_cast<std::uint8_t>(value);
  TMonitorView view;
  BuildMonitorView(f.data(), Catalogue(german), omez2, view);
  return view;
}

} // namespace

TEST(Monitor, SpeedAdvanceAndPolarity) {
  TMonitorView v = Show({{42, 0}});
  EXPECT_EQ(v.LiveRpm, 0);
  EXPECT_EQ(v.LabelRpm, "RPM = 0 ");
  EXPECT_EQ(v.MonAdvance.Text, "Advance = Basic");
  EXPECT_EQ(v.PolaritaMer.Text, "Polarity of CKPS: ---");
  EXPECT_EQ(v.Snimac.Text, "Pick-up (CPS) -  no signal");
  v = Show({{31, 90}, {32, 30}});
  EXPECT_EQ(v.MonAdvance.Text, "Advance = -10\u00B0 /max 30\u00B0");
  EXPECT_EQ(v.MonAdvance.Colour, TColour::ButtonFace);
  EXPECT_EQ(v.PolaritaMer.Text, "Polarity of CKPS: Positive");
  v = Show({{31, 135}, {32, 35}, {33, 1}, {34, 0}});
  EXPECT_EQ(v.MonAdvance.Text, "Advance = 35\u00B0 /max 35\u00B0");
  EXPECT_EQ(v.MonAdvance.Colour, TColour::Yellow);
  EXPECT_EQ(v.PolaritaMer.Text, "Polarity of CKPS: Negative");
  EXPECT_EQ(v.PolaritaMer.Colour, TColour::Red);
  EXPECT_EQ(Show({{43, 1}}).MonAdvance.Text, "Advance = Basic");
  // The polarity is only judged on a running engine: stopped, the label keeps the normal
  // colour whatever the unit's polarity flag says.
  for (int polarityOk : {0, 1}) {
    v = Show({{1, 0}, {2, 0}, {34, polarityOk}});
    EXPECT_EQ(v.LiveRpm, 0);
    EXPECT_EQ(v.PolaritaMer.Text, "Polarity of CKPS: ---");
    EXPECT_EQ(v.PolaritaMer.Colour, TColour::ButtonFace) << polarityOk;
  }
  EXPECT_EQ(Show({{34, 1}}).PolaritaMer.Colour, TColour::ButtonFace);

  struct Gauge {
    int Low, High, Omez2, Expected;
  };
  for (const Gauge g : {Gauge{0x4C, 0x1D, 150, 50}, Gauge{0x80, 0x3E, 150, 100},
                        Gauge{0x4C, 0x1D, 0, 75}, Gauge{0xFF, 0xFF, 1, 100}}) {
    v = Show({{1, g.Low}, {2, g.High}}, static_cast<std::uint8_t>(g.Omez2));
    EXPECT_EQ(v.GaugeRpm, g.Expected) << v.LiveRpm << " / " << g.Omez2;
  }
}

TEST(Monitor, VoltageBands) {
  struct Case {
    unsigned Mv;
    const char* Text;
    TColour Colour;
  };
  for (const Case& c :
       {Case{12600, "U = 12.6 [V]", TColour::ButtonFace},
        Case{11000, "U = 11.0 [V]", TColour::Yellow},
        Case{11001, "U = 11.0 [V]", TColour::ButtonFace},
        Case{14999, "U = 15.0 [V]", TColour::Yellow}, Case{7000, "U =  7.0 [V]", TColour::Red},
        Case{17999, "U = 18.0 [V]", TColour::Red}, Case{18500, "U = 18.5 [V]", TColour::Red}}) {
    const TMonitorView v = Show({{3, c.Mv & 0xFF}, {4, c.Mv >> 8}});
    EXPECT_EQ(v.Napeti.Text, c.Text);
    EXPECT_EQ(v.Napeti.Colour, c.Colour) << c.Mv;
  }
}

TEST(Monitor, VoltageIsTheMillivoltsTimesAThousandthHeldInSinglePrecision) {
  EXPECT_EQ(Show({{3, 9950 & 0xFF}, {4, 9950 >> 8}}).Napeti.Text, "U =  9.9 [V]");
  char expected[32];
  for (unsigned mv = 0; mv <= 0xFFFF; ++mv) {
    const float volts = static_cast<float>(static_cast<long double>(mv) * 0.001L);
    std::snprintf(expected, sizeof expected, "U = %4.1f [V]", static_cast<double>(volts));
    const TMonitorView v = Show({{3, mv & 0xFF}, {4, mv >> 8}});
    ASSERT_EQ(v.Napeti.Text, expected) << mv;
  }
}

TEST(Monitor, FlagLabels) {
  struct Case {
    int Offset;
    TLabelView TMonitorView::*Label;
    const char* On;
    TColour Colour;
  };
  const Case cases[] = {
      {35, &TMonitorView::MonStartLimiterOut, "Start limiter: Yes", TColour::Fuchsia},
      {36, &TMonitorView::MonHardLimiter, "Limiter - Yes", TColour::Red},
      {39, &TMonitorView::MonLedRazeni, "Gear shift light - Yes", TColour::Yellow},
      {41, &TMonitorView::ClutchMon, "Clutch master - Yes", TColour::Red},
      {40, &TMonitorView::MonRetard, "Retard - Yes", TColour::Aqua},
      {37, &TMonitorView::Blocking, "Motor off - Yes", TColour::Red},
      {38, &TMonitorView::KillSwitch, "Kill switch - Yes", TColour::Red},
      {29, &TMonitorView::MonInput1In, "Input 1: Yes", TColour::Fuchsia},
      {30, &TMonitorView::MonInput2In, "Input 2: Yes", TColour::Aqua},
      {42, &TMonitorView::Snimac, "Pick-up (CPS) -  is running", TColour::Lime},
  };
  for (const Case& c : cases) {
    const TLabelView on = Show({{c.Offset, 0x80}}).*c.Label, off = Show({{c.Offset, 0}}).*c.Label;
    EXPECT_EQ(on.Text, c.On);
    EXPECT_EQ(on.Colour, c.Colour) << c.On;
    EXPECT_EQ(off.Colour, TColour::ButtonFace) << c.On;
    EXPECT_NE(off.Text, on.Text);
  }
  const TMonitorView german = Show({{36, 1}, {38, 1}}, 150, true);
  EXPECT_EQ(german.MonHardLimiter.Text, "Begrenzer - Ja");
  EXPECT_EQ(german.KillSwitch.Text, "Kill switch - Ja");
}

TEST(Monitor, VersionCountersAndTestValues) {
  TMonitorView v = Show(
      {{50, 66}, {7, 0x34}, {8, 0x12}, {21, 0xFF}, {22, 0xFF}, {5, 2}, {6, 1}, {47, 53}, {49, 1}});
  EXPECT_TRUE(v.VersionVisible);
  EXPECT_EQ(v.VersionText, "Unmatched version of PC and Ignition programs!  PC-67, IGN-66");
  EXPECT_EQ(v.Test[0], "Test1 = 4660 ");
  EXPECT_EQ(v.Test[7], "Test8 = 65535 ");
  EXPECT_EQ(v.PocetProgramovani, "Number of Programing= 258");
  EXPECT_EQ(v.SaveCountdown, 53);
  EXPECT_TRUE(v.EeDataErrVisible);
  v = Show({});
  EXPECT_FALSE(v.VersionVisible);
  EXPECT_FALSE(v.EeDataErrVisible);

  TIdleMonitorTexts t;
  BuildIdleMonitorTexts(Catalogue(), t);
  EXPECT_EQ(t.MonAdvance + "|" + t.MonHardLimiter + "|" + t.Snimac + "|" + t.MonInput2In,
            "Advance= --- [\u00B0]|Limiter: ---|Pick-up (CPS): ---|Input 2: ---");
  BuildIdleMonitorTexts(Catalogue(true), t);
  EXPECT_EQ(t.PocetProgramovani, "Programmierungsanzahl=  ---");
  EXPECT_EQ(t.MonAdvance, "Vorzündung= --- [\u00B0]");
}
