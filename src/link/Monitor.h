// The live monitor: a monitor frame decoded into the texts and colours of its labels,
// so the window only applies them.
#pragma once

#include <cstdint>
#include <string>

#include "i18n/Messages.h"
#include "model/Types.h"

struct TLabelView {
  std::string Text;
  TColour Colour = TColour::ButtonFace;
};

// Everything one monitor frame shows. Built in place, so the strings keep their capacity
// from frame to frame.
struct TMonitorView {
  std::uint16_t LiveRpm = 0;       // 0 while the pick-up reports no signal
  std::uint16_t SaveCountdown = 0; // the unit's storing countdown
  std::string LabelRpm;
  int GaugeRpm = 0; // 0..100, full at the limiter speed
  TLabelView MonAdvance, Napeti, MonStartLimiterOut, MonHardLimiter, MonLedRazeni, ClutchMon,
      MonRetard, Blocking, KillSwitch, MonInput1In, MonInput2In, Snimac, PolaritaMer;
  bool VersionVisible = false;
  std::string VersionText; // set only while VersionVisible
  bool EeDataErrVisible = false;
  std::string PocetProgramovani;
  std::string Test[8];
};

// Placeholders of the monitor labels while no unit answers.
struct TIdleMonitorTexts {
  std::string MonAdvance, MonStartLimiterOut, MonHardLimiter, MonLedRazeni, ClutchMon, MonRetard,
      Blocking, PocetProgramovani, Snimac, PolaritaMer, MonInput1In, MonInput2In;
};

// Monitor frame offsets (frame bytes, 16-bit values low byte first).
namespace MonitorOffset {
inline constexpr int Rpm = 1, Voltage = 3, ProgrammingCount = 5, Test = 7, Input1 = 29, Input2 = 30,
                     Advance = 31, MaxAdvance = 32, PolarityNegative = 33, PolarityOk = 34,
                     StartLimiter = 35, Limiter = 36, Blocking = 37, KillSwitch = 38,
                     ShiftLight = 39, Retard = 40, ClutchMaster = 41, Pickup = 42, BaseAdvance = 43,
                     SaveCountdown = 47, DataError = 49, Version = 50;
}

// Values of a monitor frame (bytes 0..50), taken the same way by every reader of a frame.
std::uint16_t MonitorWord(const std::uint8_t* frame, int offset);
// The engine speed in rpm; 0 while the pick-up reports no signal (the speed bytes then
// mean nothing).
std::uint16_t MonitorLiveRpm(const std::uint8_t* frame);
// The current advance in degrees (byte 31 less 100; negative under retard).
int MonitorAdvance(const std::uint8_t* frame);
// The colour of a supply voltage: red far out, yellow near the ends of the normal band.
TColour VoltageColour(unsigned millivolts);

// frame: bytes 0..50 of an accepted monitor frame. omez2: the limiter speed of the record
// (hundreds of rpm) that scales the speed gauge.
void BuildMonitorView(const std::uint8_t* frame, const TMessageCatalogue& msg, std::uint8_t omez2,
                      TMonitorView& view);
void BuildIdleMonitorTexts(const TMessageCatalogue& msg, TIdleMonitorTexts& texts);
