#include <gtest/gtest.h>

#include <array>

#include "link/Monitor.h"

namespace {

TMessageCatalogue English() {
  TMessageCatalogue m;
  m.MsgAdvance = "Advance";
  m.MsgBasic = "Basic";
  m.MsgStartLimiter = "Start limiter";
  m.MsgLimiter = "Limiter";
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
  m.MsgProgrammingCount = "Number of Programing= ";
  m.MsgUnitVersionMismatch = "Unmatched version of PC and Ignition programs!";
  m.MsgYes = "Yes";
  m.MsgNo = "No";
  return m;
}

TMessageCatalogue German() {
  TMessageCatalogue m = English();
  m.MsgAdvance = "Vorzündung";
  m.MsgLimiter = "Begrenzer";
  m.MsgProgrammingCount = "Programmierungsanzahl= ";
  m.MsgYes = "Ja";
  m.MsgNo = "Nein";
  return m;
}

using TFrame = std::array<std::uint8_t, 51>;

// A running engine at 3000 rpm, 12.6 V, 20° of 30°, layout version 67.
TFrame Running() {
  TFrame f{};
  f[0] = 0xB0;
  f[1] = 3000 & 0xFF;
  f[2] = 3000 >> 8;
  f[3] = 12600 & 0xFF;
  f[4] = 12600 >> 8;
  f[31] = 120;
  f[32] = 30;
  f[34] = 1;
  f[42] = 1;
  f[50] = 67;
  return f;
}

TMonitorView Show(const TFrame& f, std::uint8_t omez2 = 150,
                  const TMessageCatalogue& msg = English()) {
  TMonitorView view;
  BuildMonitorView(f.data(), msg, omez2, view);
  return view;
}

void SetWord(TFrame& f, int offset, unsigned value) {
  f[offset] = value & 0xFF;
  f[offset + 1] = (value >> 8) & 0xFF;
}

} // namespace

TEST(Monitor, NoPickupSignalHidesSpeedAdvanceAndPolarity) {
  TFrame f = Running();
  f[42] = 0;
  const TMonitorView v = Show(f);
  EXPECT_EQ(v.LiveRpm, 0);
  EXPECT_EQ(v.LabelRpm, "RPM = 0 ");
  EXPECT_EQ(v.GaugeRpm, 0);
  EXPECT_EQ(v.MonAdvance.Text, "Advance = Basic");
  EXPECT_EQ(v.PolaritaMer.Text, "Polarity of CKPS: ---");
  EXPECT_EQ(v.PolaritaMer.Colour, TColour::ButtonFace);
  EXPECT_EQ(v.Snimac.Text, "Pick-up (CPS) -  no signal");
  EXPECT_EQ(v.Snimac.Colour, TColour::ButtonFace);
}

TEST(Monitor, AdvanceTextAndColour) {
  struct Case {
    std::uint8_t Current, Max, Base;
    const char* Text;
    TColour Colour;
  };
  const Case cases[] = {
      {90, 30, 0, "Advance = -10\u00B0 /max 30\u00B0", TColour::ButtonFace},
      {135, 35, 0, "Advance = 35\u00B0 /max 35\u00B0", TColour::Yellow},
      {140, 35, 0, "Advance = 40\u00B0 /max 35\u00B0", TColour::Yellow},
      {110, 35, 1, "Advance = Basic", TColour::ButtonFace},
      {0, 0, 0, "Advance = -100\u00B0 /max 0\u00B0", TColour::ButtonFace},
  };
  for (const Case& c : cases) {
    TFrame f = Running();
    f[31] = c.Current;
    f[32] = c.Max;
    f[43] = c.Base;
    const TMonitorView v = Show(f);
    EXPECT_EQ(v.MonAdvance.Text, c.Text);
    EXPECT_EQ(v.MonAdvance.Colour, c.Colour) << c.Text;
  }
}

TEST(Monitor, VoltageTextAndBands) {
  struct Case {
    unsigned Millivolts;
    const char* Text;
    TColour Colour;
  };
  const Case cases[] = {
      {12600, "U = 12.6 [V]", TColour::ButtonFace}, {11000, "U = 11.0 [V]", TColour::Yellow},
      {11001, "U = 11.0 [V]", TColour::ButtonFace}, {14998, "U = 15.0 [V]", TColour::ButtonFace},
      {14999, "U = 15.0 [V]", TColour::Yellow},     {7001, "U =  7.0 [V]", TColour::Yellow},
      {7000, "U =  7.0 [V]", TColour::Red},         {17999, "U = 18.0 [V]", TColour::Red},
      {18500, "U = 18.5 [V]", TColour::Red},        {0, "U =  0.0 [V]", TColour::Red},
  };
  for (const Case& c : cases) {
    TFrame f = Running();
    SetWord(f, 3, c.Millivolts);
    const TMonitorView v = Show(f);
    EXPECT_EQ(v.Napeti.Text, c.Text) << c.Millivolts;
    EXPECT_EQ(v.Napeti.Colour, c.Colour) << c.Millivolts;
  }
}

TEST(Monitor, SpeedGaugeScaledToTheLimiter) {
  struct Case {
    unsigned Rpm;
    std::uint8_t Omez2;
    int Gauge;
  };
  for (const Case c : {Case{7500, 150, 50}, Case{16000, 150, 100}, Case{15000, 150, 100},
                       Case{7500, 0, 75}, Case{65535, 1, 100}, Case{99, 1, 99}}) {
    TFrame f = Running();
    SetWord(f, 1, c.Rpm);
    const TMonitorView v = Show(f, c.Omez2);
    EXPECT_EQ(v.LiveRpm, c.Rpm);
    EXPECT_EQ(v.GaugeRpm, c.Gauge) << c.Rpm << " / " << int(c.Omez2);
  }
}

TEST(Monitor, FlagLabelsTheirStateWordsAndColours) {
  struct Case {
    int Offset;
    TLabelView TMonitorView::*Label;
    const char* Off;
    const char* On;
    TColour Colour;
  };
  const Case cases[] = {
      {35, &TMonitorView::MonStartLimiterOut, "Start limiter: No", "Start limiter: Yes",
       TColour::Fuchsia},
      {36, &TMonitorView::MonHardLimiter, "Limiter - No", "Limiter - Yes", TColour::Red},
      {39, &TMonitorView::MonLedRazeni, "Gear shift light - No", "Gear shift light - Yes",
       TColour::Yellow},
      {41, &TMonitorView::ClutchMon, "Clutch master - No", "Clutch master - Yes", TColour::Red},
      {40, &TMonitorView::MonRetard, "Retard - No", "Retard - Yes", TColour::Aqua},
      {37, &TMonitorView::Blocking, "Motor off - No", "Motor off - Yes", TColour::Red},
      {38, &TMonitorView::KillSwitch, "Kill switch - No", "Kill switch - Yes", TColour::Red},
      {29, &TMonitorView::MonInput1In, "Input 1: No", "Input 1: Yes", TColour::Fuchsia},
      {30, &TMonitorView::MonInput2In, "Input 2: No", "Input 2: Yes", TColour::Aqua},
      {42, &TMonitorView::Snimac, "Pick-up (CPS) -  no signal", "Pick-up (CPS) -  is running",
       TColour::Lime},
  };
  for (const Case& c : cases) {
    TFrame f = Running();
    f[c.Offset] = 0;
    TMonitorView v = Show(f);
    EXPECT_EQ((v.*c.Label).Text, c.Off);
    EXPECT_EQ((v.*c.Label).Colour, TColour::ButtonFace) << c.Off;
    f[c.Offset] = 0x80; // any non-zero byte is set
    v = Show(f);
    EXPECT_EQ((v.*c.Label).Text, c.On);
    EXPECT_EQ((v.*c.Label).Colour, c.Colour) << c.On;
  }
}

TEST(Monitor, GermanLimiterAndUntranslatedKillSwitch) {
  TFrame f = Running();
  f[36] = 1;
  f[38] = 1;
  const TMonitorView v = Show(f, 150, German());
  EXPECT_EQ(v.MonHardLimiter.Text, "Begrenzer - Ja");
  EXPECT_EQ(v.KillSwitch.Text, "Kill switch - Ja");
}

TEST(Monitor, PolarityWhileRunning) {
  struct Case {
    std::uint8_t Negative, Ok;
    const char* Text;
    TColour Colour;
  };
  for (const Case& c : {Case{0, 1, "Polarity of CKPS: Positive", TColour::ButtonFace},
                        Case{1, 1, "Polarity of CKPS: Negative", TColour::ButtonFace},
                        Case{1, 0, "Polarity of CKPS: Negative", TColour::Red}}) {
    TFrame f = Running();
    f[33] = c.Negative;
    f[34] = c.Ok;
    const TMonitorView v = Show(f);
    EXPECT_EQ(v.PolaritaMer.Text, c.Text);
    EXPECT_EQ(v.PolaritaMer.Colour, c.Colour) << c.Text;
  }
}

TEST(Monitor, VersionCountersTestValuesAndErrorFlag) {
  TFrame f = Running();
  f[50] = 66;
  f[7] = 0x34;
  f[8] = 0x12;
  SetWord(f, 21, 65535);
  SetWord(f, 5, 258);
  SetWord(f, 47, 53);
  f[49] = 1;
  TMonitorView v = Show(f);
  EXPECT_TRUE(v.VersionVisible);
  EXPECT_EQ(v.VersionText, "Unmatched version of PC and Ignition programs!  PC-67, IGN-66");
  EXPECT_EQ(v.Test[0], "Test1 = 4660 ");
  EXPECT_EQ(v.Test[1], "Test2 = 0 ");
  EXPECT_EQ(v.Test[7], "Test8 = 65535 ");
  EXPECT_EQ(v.PocetProgramovani, "Number of Programing= 258");
  EXPECT_EQ(v.SaveCountdown, 53);
  EXPECT_TRUE(v.EeDataErrVisible);

  f[50] = 67;
  f[49] = 0;
  BuildMonitorView(f.data(), English(), 150, v);
  EXPECT_FALSE(v.VersionVisible);
  EXPECT_FALSE(v.EeDataErrVisible);
}

TEST(Monitor, IdlePlaceholders) {
  TIdleMonitorTexts t;
  BuildIdleMonitorTexts(English(), t);
  EXPECT_EQ(t.MonAdvance, "Advance= --- [\u00B0]");
  EXPECT_EQ(t.MonStartLimiterOut, "Start limiter: ---");
  EXPECT_EQ(t.MonHardLimiter, "Limiter: ---");
  EXPECT_EQ(t.MonLedRazeni, "Gear shift light: ---");
  EXPECT_EQ(t.ClutchMon, "Clutch master: ---");
  EXPECT_EQ(t.MonRetard, "Retard: ---");
  EXPECT_EQ(t.Blocking, "Motor off: ---");
  EXPECT_EQ(t.PocetProgramovani, "Number of Programing=  ---");
  EXPECT_EQ(t.Snimac, "Pick-up (CPS): ---");
  EXPECT_EQ(t.PolaritaMer, "Polarity of CKPS: ---");
  EXPECT_EQ(t.MonInput1In, "Input 1: ---");
  EXPECT_EQ(t.MonInput2In, "Input 2: ---");
  BuildIdleMonitorTexts(German(), t);
  EXPECT_EQ(t.PocetProgramovani, "Programmierungsanzahl=  ---");
  EXPECT_EQ(t.MonAdvance, "Vorzündung= --- [\u00B0]");
}
