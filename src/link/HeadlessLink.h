// The tick engine without a window, for the command-line tool: a host that keeps what the
// window would show, and the passes run to their end by a plain loop of ticks. Every rule
// stays the engine's: the frames, the resends, the version check, the storing countdown.
#pragma once

#include <functional>
#include <string>

#include "link/Link.h"
#include "model/Identity.h"

class THeadlessHost : public TLinkHost {
public:
  explicit THeadlessHost(TDeviceImage& image);

  void SetStatusText(const std::string& text) override { StatusText = text; }
  void SetStatusColour(TColour) override {}
  void SetStatusVisible(bool) override {}
  void SetGaugeProgress(int progress) override { Gauge = progress; }
  void SetGaugeVisible(bool) override {}
  void SetConnectionVisible(bool) override {}
  void HideVersionLabel() override {}
  void ShowMonitorFrame(const TMonitorView& view) override;
  void NormaliseParams() override;
  void ParamsToScreen() override {}
  void DecodeUnitIdentity() override;
  void ShowModalMessage(const std::string& text) override { ModalText = text; }
  void HighlightActivePoint() override {}
  const TMessageCatalogue& Messages() const override { return Msg; }

  std::string StatusText;
  int Gauge = 0;
  std::string ModalText; // the version box's text, empty while none was shown
  TUnitIdentity Identity;
  bool IdentityDecoded = false;
  // Called on every accepted monitor frame.
  std::function<void(const TMonitorView&)> OnMonitorFrame;

private:
  TDeviceImage& Image;
  TMessageCatalogue Msg;
};

class THeadlessLink {
public:
  // waitTick blocks until the next tick is due.
  THeadlessLink(TPort& port, std::function<void()> waitTick);
  THeadlessLink(const THeadlessLink&) = delete;
  THeadlessLink& operator=(const THeadlessLink&) = delete;

  // The passes of Read, Verify and Program, from the command to the transfer's end; the
  // whole outcome is Engine.LastOutcome(). OtherVersion leaves the box's text in
  // Host.ModalText.
  TPassResult Read() { return Run(&TLinkEngine::StartRead); }
  TPassResult Verify() { return Run(&TLinkEngine::StartVerify); }
  TPassResult Program() { return Run(&TLinkEngine::StartProgram); }
  // The Read pass up to block 0 and its version check: the unit's identity.
  TPassResult ReadIdentity();
  // After a programming pass: idle ticks until the engine ends the unit's storing. NotStored
  // when that takes longer than StoreTickLimit.
  TPassResult WaitStored();
  // Idle ticks, the monitor requests among them, until stop() holds after a tick. False
  // when no monitor frame came for as long as the window waits before it shows that.
  bool Watch(const std::function<bool()>& stop);

  void Tick();

  TDeviceImage Image{};
  THeadlessHost Host{Image};
  TLinkEngine Engine{Image, Host};
  long Ticks = 0;     // ticks since the link was made
  long PassTicks = 0; // ticks of the last pass or wait, from its command to its end
  // Asked after every tick of a pass or a wait: true ends it there, between two frames,
  // with Stopped set.
  std::function<bool()> StopRequested;
  bool Stopped = false;

private:
  TPassResult Run(void (TLinkEngine::*start)());
  // Ticks until the engine reports an end after the one counted in since; NoReply when
  // none comes within limit ticks.
  TPassResult TickUntilEnd(long since, long limit, TPassResult late);
  bool StopNow();

  std::function<void()> WaitTick;
};

// A bound far above the longest pass (three blocks, each failing after five sends); the
// engine always ends a pass well before it.
inline constexpr long PassTickLimit = 200;
// The longest storing the tool waits for: a minute of ticks.
inline constexpr long StoreTickLimit = 60000 / TickMs;
