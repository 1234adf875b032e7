// The window as the tick engine sees it, for the link tests, the end-to-end tests and
// the benchmark.
#pragma once

#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "i18n/Messages.h"
#include "link/Link.h"
#include "model/Normalise.h"

// The window as the engine sees it, with a record of every effect.
class TRecordingHost : public TLinkHost {
public:
  explicit TRecordingHost(TDeviceImage& image) : Image(image) {
    FillMessageCatalogue(Msg, LangEnglish);
  }
  void SetStatusText(const std::string& text) override {
    StatusText = text;
    if (Texts.empty() || Texts.back() != text) Texts.push_back(text);
  }
  void SetStatusColour(TColour colour) override { StatusColour = colour; }
  void SetStatusVisible(bool visible) override { StatusVisible = visible; }
  void SetGaugeProgress(int progress) override {
    Gauge = progress;
    if (Gauges.empty() || Gauges.back() != progress) Gauges.push_back(progress);
  }
  void SetGaugeVisible(bool visible) override { GaugeVisible = visible; }
  void SetConnectionVisible(bool visible) override { ConnectionVisible = visible; }
  void HideVersionLabel() override { ++VersionHidden; }
  void ShowMonitorFrame(const TMonitorView& view) override {
    ++MonitorFrames;
    LastRpm = view.LiveRpm;
  }
  void NormaliseParams() override {
    TLanguage language = CurrentLanguage;
    std::uint8_t comPort = 1;
    ::NormaliseParams(Image.Params, language, comPort);
    Events.push_back("Normalise");
  }
  void ParamsToScreen() override {
    ++ParamsShown;
    Events.push_back("ParamsToScreen");
  }
  void DecodeUnitIdentity() override { Events.push_back("Decode"); }
  void ShowModalMessage(const std::string& text) override {
    Modals.push_back(text);
    Events.push_back("Modal");
    if (WhileModal) WhileModal();
  }
  void HighlightActivePoint() override { ++Highlights; }
  const TMessageCatalogue& Messages() const override { return Msg; }
  bool KeepBackUp(const TDeviceImage& unit) override {
    if (BackUpFails) return false;
    Store(unit, TRestoreKind::Read);
    return true;
  }
  // As the window: the restore point an outcome leaves, and its difference offered.
  void PassEnded(const TPassOutcome& outcome) override {
    Outcomes.push_back(outcome);
    if (const std::optional<TRestoreKind> kind = RestorePointOf(outcome))
      Store(outcome.Unit, *kind);
    if (outcome.HasDifference) Offered = {outcome.Pc, outcome.Unit.Params};
  }
  void WithdrawDifference() override { Offered.reset(); }

  bool Seen(const std::string& text) const {
    return std::find(Texts.begin(), Texts.end(), text) != Texts.end();
  }

  TDeviceImage& Image;
  TMessageCatalogue Msg;
  std::string StatusText;
  TColour StatusColour = TColour::ButtonFace;
  bool StatusVisible = false, GaugeVisible = false, ConnectionVisible = false;
  int Gauge = -1;
  std::vector<std::string> Texts; // consecutive repeats folded
  std::vector<int> Gauges;        // likewise
  std::vector<std::string> Events, Modals;
  int VersionHidden = 0, MonitorFrames = 0, ParamsShown = 0, Highlights = 0;
  std::uint16_t LastRpm = 0;
  std::function<void()> WhileModal;
  struct TStored {
    TDeviceImage Unit;
    TRestoreKind Kind;
    int FramesSent; // block frames sent before it was stored, when FramesSentBefore is set
  };
  std::function<int()> FramesSentBefore;
  std::vector<TStored> Stored;
  std::optional<std::pair<TIgnParams, TIgnParams>> Offered; // the PC's record, the reply
  std::vector<TPassOutcome> Outcomes;
  bool BackUpFails = false; // the back-up cannot be kept

private:
  void Store(const TDeviceImage& unit, TRestoreKind kind) {
    Stored.push_back({unit, kind, FramesSentBefore ? FramesSentBefore() : 0});
  }
};
