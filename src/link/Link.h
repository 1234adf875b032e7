// The tick engine: everything that happens on the 55 ms tick of the main window and
// the block transfer that the ticks and the unit's replies carry out. It reaches the
// screen only through TLinkHost, so every timing rule runs without a window.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "i18n/Messages.h"
#include "link/Frame.h"
#include "link/Monitor.h"
#include "link/Port.h"
#include "link/Ticks.h"
#include "model/IgnParams.h"
#include "model/Types.h"

// What the engine needs of the window. Calls may open a modal box (ShowModalMessage),
// during which further ticks run.
class TLinkHost {
public:
  virtual ~TLinkHost() = default;
  // LabelHlaseni, the status label above the progress gauge.
  virtual void SetStatusText(const std::string& text) = 0;
  virtual void SetStatusColour(TColour colour) = 0;
  virtual void SetStatusVisible(bool visible) = 0;
  // CGaugeProgram, maximum GaugeMax.
  virtual void SetGaugeProgress(int progress) = 0;
  virtual void SetGaugeVisible(bool visible) = 0;
  // LabelSpojeni, the connection indicator, and LabelVersion, the version warning.
  virtual void SetConnectionVisible(bool visible) = 0;
  virtual void HideVersionLabel() = 0;
  // An accepted monitor frame, already decoded into the view.
  virtual void ShowMonitorFrame(const TMonitorView& view) = 0;
  virtual void NormaliseParams() = 0;
  virtual void ParamsToScreen() = 0;
  virtual void DecodeUnitIdentity() = 0;
  virtual void ShowModalMessage(const std::string& text) = 0;
  virtual void HighlightActivePoint() = 0;
  virtual const TMessageCatalogue& Messages() const = 0;
};

inline constexpr int SaveCountdownFullScale = 53;
inline constexpr int GaugeMax = 3;
inline constexpr int RxBufferSize = 15000;
inline constexpr int MonitorFrameSize = 51;
// How long a monitor request may wait for the port to send it: one tick, so a stuck
// port counts as an unanswered request instead of freezing the window.
inline constexpr int SendWaitMs = TickMs;

class TLinkEngine {
public:
  TLinkEngine(TDeviceImage& image, TLinkHost& host) : Image(image), Host(host) {}
  TLinkEngine(const TLinkEngine&) = delete;
  TLinkEngine& operator=(const TLinkEngine&) = delete;

  // The port the frames go to; nullptr or a closed port receives nothing and sends nowhere.
  void SetPort(TPort* port) { Port = port; }
  TPort* GetPort() const { return Port; }

  // One tick of Timer1.
  void Timer1Timer();
  void ReceiveFrame();
  void AcceptMonitorFrame();
  void HandleBlockReply();
  void SendBlockFrame();
  void SendMonitorRequest();

  // Entry points of the transfer; they only set up the state, the ticks send.
  void StartRead();
  void StartVerify();
  void StartProgram();     // the Program command: "Programing:"
  void StartProgramming(); // program after change, undo and redo: "Programing"

  // The status label stays up for its whole display time from now on.
  void HoldStatus() { StatusTicks = StatusDisplayTicks; }

  // Whether the connection indicator stands visible after the last tick.
  bool ConnectionVisible() const { return ConnectionShown; }

  TTransferMode TransferMode = tmIdle;
  std::uint8_t CurrentCommand = 0;
  std::uint8_t SendTicks = 0;
  std::uint8_t RetryCount = 0;
  std::uint8_t StatusTicks = 0;
  std::uint8_t NoLinkTicks = 0;
  bool TransferDone = false;
  // Set when a programming pass has been verified and no monitor frame has reported the
  // unit's storing since: "Programing: OK" waits for that report.
  bool SaveReportPending = false;
  // Block replies of the running pass that arrived whole but carried other parameters than
  // the image (a wrong echo or verify copy): the unit answers, but holds something else.
  std::uint8_t DifferingReplies = 0;
  std::uint16_t SaveCountdown = 0;
  std::uint16_t LiveRpm = 0;
  bool Printing = false;
  int GaugeProgress = 0;
  std::array<std::uint8_t, MonitorFrameSize> MonitorFrame{};
  TMonitorView MonitorView;
  std::array<std::uint8_t, RxBufferSize> RxBuffer{};
  TLinkFrame TxFrame{};

private:
  void BeginTransfer(TTransferMode mode, std::uint8_t command, const std::string& status);
  void SetGauge(int progress);
  void NextBlock();
  void StartVerifyPass();
  bool VersionMismatch(); // true when the transfer had to stop
  void ShowTransferFailure(TTransferMode mode);
  void ShowStoringProgress();

  TDeviceImage& Image;
  TLinkHost& Host;
  TPort* Port = nullptr;
  bool ConnectionShown = false;
};
