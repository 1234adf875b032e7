// The tick engine: everything that happens on the 55 ms tick of the main window and
// the block transfer that the ticks and the unit's replies carry out. It reaches the
// screen only through TLinkHost, so every timing rule runs without a window.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "files/RestorePoints.h"
#include "i18n/Messages.h"
#include "link/Frame.h"
#include "link/Monitor.h"
#include "link/Port.h"
#include "link/Ticks.h"
#include "model/IgnParams.h"
#include "model/Types.h"

// Where a transfer stands. A command leaves Idle for its first phase; Storing follows a
// programming pass that was verified, while the unit's monitor frames report its storing.
enum class TLinkPhase : std::uint8_t {
  Idle,
  BackUpBlock0, // the unit's copy read before programming
  BackUpBlock1,
  ReadBlock0,
  ReadBlock1,
  WriteBlock0,
  WriteBlock1,
  Verifying,
  Storing,
};

// Which command a pass belongs to; Store is the unit's storing after a programming pass.
enum class TPass : std::uint8_t { Read, Verify, Program, BackUp, Store };

enum class TPassResult : std::uint8_t {
  Ok,
  NoReply,       // five sends without an accepted reply, or silence while storing
  Differs,       // the unit answered with other parameters than the record
  OtherVersion,  // block 0 of the unit carries another layout version
  HungUp,        // the line hung up or was closed during the pass or the storing
  BackUpNotKept, // the back-up read arrived but the host could not keep it
  NotStored,     // the storing did not end within the time a caller waits for it
};

struct TPassOutcome {
  TPass Pass = TPass::Read;
  TPassResult Result = TPassResult::Ok;
  // Differs: the record the last rejected reply was compared with, and that reply in
  // Unit.Params. Ok: what the unit holds now.
  bool HasDifference = false;
  TIgnParams Pc{};
  TDeviceImage Unit{};
};

// The restore point an outcome leaves: a Read and a store seen through to its end.
std::optional<TRestoreKind> RestorePointOf(const TPassOutcome& outcome);

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
  // The unit's copy read before programming; false when it could not be kept, and then
  // nothing is programmed.
  virtual bool KeepBackUp(const TDeviceImage& unit) {
    (void)unit;
    return false;
  }
  // Every pass and every store ends here once, after the engine has shown the specified
  // texts. A difference stands until WithdrawDifference, when the next pass starts.
  virtual void PassEnded(const TPassOutcome& outcome) { (void)outcome; }
  virtual void WithdrawDifference() {}
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
  // While the window is laid out for printing the ticks keep both labels hidden.
  void SetPrinting(bool printing) { Printing = printing; }
  bool IsPrinting() const { return Printing; }
  // With it, the Program command and programming after a change, undo or redo first read
  // the unit's two blocks into a copy of their own, as a Read does but without touching the
  // image, and store it as a restore point; if that read fails nothing is programmed.
  bool BackUpBeforeProgramming = false;

  // Whether the connection indicator stands visible after the last tick.
  bool ConnectionVisible() const { return ConnectionShown; }

  TLinkPhase Phase() const { return CurrentPhase; }
  // How the last pass or store ended; Pass and Result stay as they were until the next end.
  const TPassOutcome& LastOutcome() const { return Outcome; }
  // Counts the ends, so a caller can tell that a new one came.
  long Outcomes() const { return OutcomeCount; }

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
  std::uint16_t SaveCountdown = 0;
  std::uint16_t LiveRpm = 0;
  int GaugeProgress = 0;
  std::array<std::uint8_t, MonitorFrameSize> MonitorFrame{};
  TMonitorView MonitorView;
  std::array<std::uint8_t, RxBufferSize> RxBuffer{};
  TLinkFrame TxFrame{};

private:
  void Enter(TLinkPhase next);
  void EndPass(TPassResult result);
  void FailStore(TPassResult result);
  void EndStore(TPassResult result);
  void BeginTransfer(TLinkPhase first, TPass pass, const std::string& status);
  void StartProgrammingPass(bool colon);
  void SetGauge(int progress);
  void NextBlock();
  void StartVerifyPass();
  void ProgramAfterBackUp();
  void KeepMismatch(const std::uint8_t* reply);
  bool VersionMismatch(std::uint8_t version); // true when the transfer had to stop
  void ShowTransferFailure(TTransferMode mode);
  void ShowStoringProgress();

  TDeviceImage& Image;
  TLinkHost& Host;
  TPort* Port = nullptr;
  bool Printing = false;
  bool ConnectionShown = false;
  TLinkPhase CurrentPhase = TLinkPhase::Idle;
  TPass Pass = TPass::Read;
  TPassOutcome Outcome;
  long OutcomeCount = 0;
  bool LineDown = false;     // the port was closed or hung up since the pass or store began
  bool ProgramColon = false; // the programming that follows shows "Programing:"
  bool MismatchKept = false; // a reply of this step failed the comparison
  TIgnParams MismatchPc{}, MismatchUnit{};
  TDeviceImage BackUp{};
  TDeviceImage Verified{}; // the image the unit was verified to hold, kept for its storing
};
