#include "link/Monitor.h"

#include <cstdio>

std::uint16_t MonitorWord(const std::uint8_t* frame, int offset) {
  return static_cast<std::uint16_t>(frame[offset] | (frame[offset + 1] << 8));
}

std::uint16_t MonitorLiveRpm(const std::uint8_t* frame) {
  return frame[MonitorOffset::Pickup] != 0 ? MonitorWord(frame, MonitorOffset::Rpm) : 0;
}

int MonitorAdvance(const std::uint8_t* frame) {
  return static_cast<int>(frame[MonitorOffset::Advance]) - 100;
}

TColour VoltageColour(unsigned millivolts) {
  if (millivolts >= 17999 || millivolts <= 7000) return TColour::Red;
  if (millivolts >= 14999 || millivolts <= 11000) return TColour::Yellow;
  return TColour::ButtonFace; // the normal band, 11001 to 14998 mV
}

namespace {

// head + separator + Yes/No, coloured when the flag is set.
void ShowFlag(TLabelView& label, const std::string& head, const char* separator, bool set,
              const TMessageCatalogue& msg, TColour colour) {
  label.Text.assign(head).append(separator).append(set ? msg.MsgYes : msg.MsgNo);
  label.Colour = set ? colour : TColour::ButtonFace;
}

} // namespace

void BuildMonitorView(const std::uint8_t* frame, const TMessageCatalogue& msg, std::uint8_t omez2,
                      TMonitorView& view) {
  namespace O = MonitorOffset;
  char buffer[96];
  const bool pickup = frame[O::Pickup] != 0;

  view.LiveRpm = MonitorLiveRpm(frame);
  std::snprintf(buffer, sizeof buffer, "RPM = %d ", view.LiveRpm);
  view.LabelRpm.assign(buffer);

  const int divisor = omez2 != 0 ? omez2 : 100;
  const int gauge = view.LiveRpm / divisor;
  view.GaugeRpm = gauge < 0 ? 0 : (gauge > 100 ? 100 : gauge);

  const int advance = MonitorAdvance(frame);
  const int maxAdvance = frame[O::MaxAdvance];
  view.MonAdvance.Text.assign(msg.MsgAdvance);
  if (!pickup || frame[O::BaseAdvance] != 0) {
    view.MonAdvance.Text.append(" = ").append(msg.MsgBasic);
  } else {
    std::snprintf(buffer, sizeof buffer, " = %d\u00B0 /max %d\u00B0", advance, maxAdvance);
    view.MonAdvance.Text.append(buffer);
  }
  view.MonAdvance.Colour = advance >= maxAdvance ? TColour::Yellow : TColour::ButtonFace;

  const unsigned volts = MonitorWord(frame, O::Voltage);
  // v x 0.001 held in single precision; 0.001f * v rounds 308 of the readings differently
  // (9950 mV would read 10.0 instead of 9.9).
  const float shown = static_cast<float>(volts * 0.001);
  std::snprintf(buffer, sizeof buffer, "U = %4.1f [V]", static_cast<double>(shown));
  view.Napeti.Text.assign(buffer);
  view.Napeti.Colour = VoltageColour(volts);

  ShowFlag(view.MonStartLimiterOut, msg.MsgStartLimiter, ": ", frame[O::StartLimiter] != 0, msg,
           TColour::Fuchsia);
  ShowFlag(view.MonHardLimiter, msg.MsgLimiter, " - ", frame[O::Limiter] != 0, msg, TColour::Red);
  ShowFlag(view.MonLedRazeni, msg.MsgShiftLight, " - ", frame[O::ShiftLight] != 0, msg,
           TColour::Yellow);
  ShowFlag(view.ClutchMon, msg.MsgClutchMaster, " - ", frame[O::ClutchMaster] != 0, msg,
           TColour::Red);
  ShowFlag(view.MonRetard, msg.MsgRetard, " - ", frame[O::Retard] != 0, msg, TColour::Aqua);
  ShowFlag(view.Blocking, msg.MsgMotorOff, " - ", frame[O::Blocking] != 0, msg, TColour::Red);
  // The kill-switch head is the same in every language.
  static const std::string killSwitch = "Kill switch";
  ShowFlag(view.KillSwitch, killSwitch, " - ", frame[O::KillSwitch] != 0, msg, TColour::Red);
  ShowFlag(view.MonInput1In, msg.MsgInput, " 1: ", frame[O::Input1] != 0, msg, TColour::Fuchsia);
  ShowFlag(view.MonInput2In, msg.MsgInput, " 2: ", frame[O::Input2] != 0, msg, TColour::Aqua);

  view.Snimac.Text.assign(msg.MsgPickup)
      .append(" - ")
      .append(pickup ? msg.MsgIsRunning : msg.MsgNoSignal);
  view.Snimac.Colour = pickup ? TColour::Lime : TColour::ButtonFace;

  view.PolaritaMer.Text.assign(msg.MsgPolarity);
  if (view.LiveRpm == 0)
    view.PolaritaMer.Text.append(": ---");
  else
    view.PolaritaMer.Text.append(": ").append(frame[O::PolarityNegative] != 0 ? msg.MsgNegative
                                                                              : msg.MsgPositive);
  view.PolaritaMer.Colour =
      view.LiveRpm != 0 && frame[O::PolarityOk] == 0 ? TColour::Red : TColour::ButtonFace;

  view.VersionVisible = frame[O::Version] != ProgramVersion;
  if (view.VersionVisible) {
    std::snprintf(buffer, sizeof buffer, "  PC-%d, IGN-%d", ProgramVersion, frame[O::Version]);
    view.VersionText.assign(msg.MsgUnitVersionMismatch).append(buffer);
  }

  view.SaveCountdown = MonitorWord(frame, O::SaveCountdown);
  view.EeDataErrVisible = frame[O::DataError] != 0;

  std::snprintf(buffer, sizeof buffer, "%u",
                static_cast<unsigned>(MonitorWord(frame, O::ProgrammingCount)));
  view.PocetProgramovani.assign(msg.MsgProgrammingCount).append(buffer);

  for (int i = 0; i < 8; ++i) {
    std::snprintf(buffer, sizeof buffer, "Test%d = %d ", i + 1,
                  MonitorWord(frame, O::Test + 2 * i));
    view.Test[i].assign(buffer);
  }
}

void BuildIdleMonitorTexts(const TMessageCatalogue& msg, TIdleMonitorTexts& texts) {
  texts.MonAdvance.assign(msg.MsgAdvance).append("= --- [\u00B0]");
  texts.MonStartLimiterOut.assign(msg.MsgStartLimiter).append(": ---");
  texts.MonHardLimiter.assign(msg.MsgLimiter).append(": ---");
  texts.MonLedRazeni.assign(msg.MsgShiftLight).append(": ---");
  texts.ClutchMon.assign(msg.MsgClutchMaster).append(": ---");
  texts.MonRetard.assign(msg.MsgRetard).append(": ---");
  texts.Blocking.assign(msg.MsgMotorOff).append(": ---");
  texts.PocetProgramovani.assign(msg.MsgProgrammingCount).append(" ---");
  texts.Snimac.assign(msg.MsgPickup).append(": ---");
  texts.PolaritaMer.assign(msg.MsgPolarity).append(": ---");
  texts.MonInput1In.assign(msg.MsgInput).append(" 1: ---");
  texts.MonInput2In.assign(msg.MsgInput).append(" 2: ---");
}
