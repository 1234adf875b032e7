#include "link/Link.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

std::optional<TRestoreKind> RestorePointOf(const TPassOutcome& outcome) {
  if (outcome.Result != TPassResult::Ok) return std::nullopt;
  if (outcome.Pass == TPass::Read) return TRestoreKind::Read;
  if (outcome.Pass == TPass::Store) return TRestoreKind::Programmed;
  return std::nullopt;
}

// The one place where the phase changes; the mode and the command follow from it.
void TLinkEngine::Enter(TLinkPhase next) {
  const auto block = [this](TTransferMode mode, std::uint8_t command) {
    TransferMode = mode;
    CurrentCommand = command;
  };
  CurrentPhase = next;
  switch (next) {
  case TLinkPhase::BackUpBlock0:
  case TLinkPhase::ReadBlock0:
    block(tmRead, ReadFlag | 0);
    break;
  case TLinkPhase::BackUpBlock1:
  case TLinkPhase::ReadBlock1:
    block(tmRead, ReadFlag | 1);
    break;
  case TLinkPhase::WriteBlock0:
    block(tmProgram, 0);
    break;
  case TLinkPhase::WriteBlock1:
    block(tmProgram, 1);
    break;
  case TLinkPhase::Verifying:
    block(tmVerify, ReadFlag | 1);
    break;
  case TLinkPhase::Idle:
  case TLinkPhase::Storing:
    TransferMode = tmIdle;
    break;
  }
}

void TLinkEngine::EndPass(TPassResult result) {
  const bool programmed = Pass == TPass::Program && result == TPassResult::Ok;
  Outcome = TPassOutcome{};
  Outcome.Pass = Pass;
  Outcome.Result = result;
  if (result == TPassResult::Ok) Outcome.Unit = Image;
  if (result == TPassResult::Differs) {
    Outcome.HasDifference = true;
    Outcome.Pc = MismatchPc;
    Outcome.Unit.Params = MismatchUnit;
  }
  if (programmed) {
    // The unit has not stored the parameters yet; its monitor frames tell.
    Verified = Image;
    LineDown = false;
    Pass = TPass::Store;
  }
  Enter(programmed ? TLinkPhase::Storing : TLinkPhase::Idle);
  ++OutcomeCount;
  Host.PassEnded(Outcome);
}

// The storing was not seen through to its end: the programming is not reported as done.
void TLinkEngine::FailStore(TPassResult result) {
  Host.SetStatusColour(TColour::Red);
  Host.SetStatusText(Host.Messages().MsgProgramError);
  HoldStatus();
  TransferDone = false;
  SaveReportPending = false;
  EndStore(result);
}

void TLinkEngine::EndStore(TPassResult result) {
  Outcome = TPassOutcome{};
  Outcome.Pass = TPass::Store;
  Outcome.Result = result;
  if (result == TPassResult::Ok) Outcome.Unit = Verified;
  Enter(TLinkPhase::Idle);
  ++OutcomeCount;
  Host.PassEnded(Outcome);
}

void TLinkEngine::SetGauge(int progress) {
  GaugeProgress = std::clamp(progress, 0, GaugeMax);
  Host.SetGaugeProgress(GaugeProgress);
}

void TLinkEngine::Timer1Timer() {
  if (Port != nullptr && Port->IsOpen()) Port->SendUnsent();
  ReceiveFrame();
  if (CurrentPhase == TLinkPhase::Storing && LineDown) FailStore(TPassResult::HungUp);

  switch (TransferMode) {
  case tmProgram:
  case tmVerify:
  case tmRead: {
    const TTransferMode mode = TransferMode;
    bool failed = false;
    if (++SendTicks >= ResendTicks) {
      SendTicks = 0;
      ++RetryCount;
      if (RetryCount <= MaxSends) {
        SendBlockFrame();
      } else {
        ShowTransferFailure(mode);
        failed = true;
        EndPass(MismatchKept ? TPassResult::Differs
                : LineDown   ? TPassResult::HungUp
                             : TPassResult::NoReply);
      }
    }
    if (mode == tmRead || (mode == tmVerify && failed)) TransferDone = false;
    break;
  }
  default: {
    if (++SendTicks >= MonitorTicks) {
      SendTicks = 0;
      SendMonitorRequest();
    }
    // The storing progress belongs to a pass that succeeded: a unit that stores what it
    // echoed wrongly, or whose copy failed the verify, keeps the red failure text.
    if (TransferDone) ShowStoringProgress();
    break;
  }
  }

  if (StatusTicks > 0) {
    --StatusTicks;
    Host.SetStatusVisible(!Printing);
  } else {
    Host.SetStatusVisible(false);
    Host.SetGaugeVisible(false);
    TransferDone = false;
  }

  const bool silent = NoLinkTicks >= NoLinkLimitTicks;
  if (!silent) {
    ++NoLinkTicks;
    ConnectionShown = false;
  } else {
    ConnectionShown = !Printing;
  }
  Host.SetConnectionVisible(ConnectionShown);
  // A unit that falls silent while it stores may never have finished.
  if (CurrentPhase == TLinkPhase::Storing && silent) FailStore(TPassResult::NoReply);

  if (ConnectionShown) Host.HideVersionLabel();

  Host.HighlightActivePoint();
}

void TLinkEngine::ShowStoringProgress() {
  const TMessageCatalogue& msg = Host.Messages();
  if (SaveCountdown > 0) {
    Host.SetStatusColour(TColour::ButtonFace);
    Host.SetStatusText(msg.MsgSaving);
    HoldStatus();
    // Signed: a countdown above full scale shows no progress.
    SetGauge(GaugeMax * (SaveCountdownFullScale - static_cast<int>(SaveCountdown)) /
             SaveCountdownFullScale);
  } else if (!SaveReportPending) {
    Host.SetStatusText(msg.MsgProgramming + ": OK");
    SetGauge(GaugeMax);
    if (CurrentPhase == TLinkPhase::Storing) EndStore(TPassResult::Ok);
  }
}

void TLinkEngine::ShowTransferFailure(TTransferMode mode) {
  const TMessageCatalogue& msg = Host.Messages();
  Host.SetStatusColour(TColour::Red);
  Host.SetStatusText(mode == tmProgram  ? msg.MsgProgramError
                     : mode == tmVerify ? msg.MsgVerifyError
                                        : msg.MsgReadError);
  HoldStatus();
  TransferMode = tmIdle;
}

void TLinkEngine::ReceiveFrame() {
  if (Port == nullptr || !Port->IsOpen()) {
    LineDown = true;
    return;
  }
  const TPortCount waiting = Port->BytesWaiting();
  if (waiting.Status == TPortStatus::HungUp) LineDown = true;
  if (!waiting.Ok() || waiting.Count < FrameSize) return;
  // A short read would leave an older frame in the buffer; never examine stale bytes.
  const TPortCount got = Port->Read(RxBuffer.data(), std::min(waiting.Count, RxBufferSize));
  if (!got.Ok() || got.Count < FrameSize) return;
  if (RxBuffer[0] == MonitorReplyCommand)
    AcceptMonitorFrame();
  else
    HandleBlockReply();
}

void TLinkEngine::AcceptMonitorFrame() {
  if ((RxBuffer[0] & 0xF0) != MonitorReplyCommand || !FrameCheckOk(RxBuffer.data())) return;
  NoLinkTicks = 0;
  SaveReportPending = false;
  std::copy_n(RxBuffer.begin(), MonitorFrameSize, MonitorFrame.begin());
  BuildMonitorView(MonitorFrame.data(), Host.Messages(), Image.Params.Omez2, MonitorView);
  LiveRpm = MonitorView.LiveRpm;
  SaveCountdown = MonitorView.SaveCountdown;
  Host.ShowMonitorFrame(MonitorView);
}

void TLinkEngine::SendBlockFrame() {
  SendTicks = 0;
  BuildBlockFrame(TxFrame, CurrentCommand, TransferMode == tmRead, Image);
  if (Port != nullptr && Port->IsOpen()) Port->Write(TxFrame.data(), FrameSize);
}

void TLinkEngine::SendMonitorRequest() {
  BuildMonitorRequest(TxFrame);
  if (Port == nullptr || !Port->IsOpen()) return;
  if (Port->Write(TxFrame.data(), FrameSize)) Port->WaitSent(SendWaitMs);
}

void TLinkEngine::BeginTransfer(TLinkPhase first, TPass pass, const std::string& status) {
  Enter(first);
  Pass = pass;
  LineDown = false;
  RetryCount = 0;
  SaveReportPending = false;
  if (MismatchKept) {
    MismatchKept = false;
    Host.WithdrawDifference();
  }
  Host.SetStatusColour(TColour::ButtonFace);
  Host.SetStatusText(status);
  Host.SetStatusVisible(true);
  HoldStatus();
  SetGauge(0);
  Host.SetGaugeVisible(true);
}

void TLinkEngine::StartRead() {
  BeginTransfer(TLinkPhase::ReadBlock0, TPass::Read, Host.Messages().MsgRead + ":");
}

void TLinkEngine::StartVerify() {
  BeginTransfer(TLinkPhase::Verifying, TPass::Verify, Host.Messages().MsgVerify + ":");
  TransferDone = false;
}

void TLinkEngine::StartProgram() {
  StartProgrammingPass(true);
}

void TLinkEngine::StartProgramming() {
  StartProgrammingPass(false);
}

void TLinkEngine::StartProgrammingPass(bool colon) {
  const TMessageCatalogue& msg = Host.Messages();
  if (BackUpBeforeProgramming) {
    // The read that comes first is a Read in all but its target, and says so.
    BeginTransfer(TLinkPhase::BackUpBlock0, TPass::BackUp, msg.MsgRead + ":");
    ProgramColon = colon;
  } else {
    BeginTransfer(TLinkPhase::WriteBlock0, TPass::Program,
                  colon ? msg.MsgProgramming + ":" : msg.MsgProgramming);
  }
  TransferDone = false;
}

void TLinkEngine::NextBlock() {
  SetGauge(GaugeProgress + 1);
  // Block 0 of each transfer is followed by its block 1.
  Enter(CurrentPhase == TLinkPhase::BackUpBlock0 ? TLinkPhase::BackUpBlock1
        : CurrentPhase == TLinkPhase::ReadBlock0 ? TLinkPhase::ReadBlock1
                                                 : TLinkPhase::WriteBlock1);
  RetryCount = 1;
  SendBlockFrame();
}

void TLinkEngine::StartVerifyPass() {
  MismatchKept = false;
  Enter(TLinkPhase::Verifying);
  RetryCount = 1;
  SendBlockFrame();
  Host.SetStatusColour(TColour::ButtonFace);
  Host.SetStatusText(Host.Messages().MsgVerify + ":");
  HoldStatus();
  Host.SetStatusVisible(true);
  SetGauge(0);
}

// Nothing is written to the unit before its copy is kept.
void TLinkEngine::ProgramAfterBackUp() {
  if (!Host.KeepBackUp(BackUp)) {
    Host.SetStatusColour(TColour::Red);
    HoldStatus();
    EndPass(TPassResult::BackUpNotKept);
    return;
  }
  Enter(TLinkPhase::WriteBlock0);
  Pass = TPass::Program;
  RetryCount = 1;
  TransferDone = false;
  SendBlockFrame();
  const TMessageCatalogue& msg = Host.Messages();
  Host.SetStatusColour(TColour::ButtonFace);
  Host.SetStatusText(ProgramColon ? msg.MsgProgramming + ":" : msg.MsgProgramming);
  StatusTicks = StatusDisplayTicks;
  Host.SetStatusVisible(true);
  SetGauge(0);
}

void TLinkEngine::KeepMismatch(const std::uint8_t* reply) {
  MismatchPc = Image.Params;
  std::memcpy(&MismatchUnit, reply, PayloadSize);
  MismatchKept = true;
}

bool TLinkEngine::VersionMismatch(std::uint8_t version) {
  if (version == ProgramVersion) return false;
  EndPass(TPassResult::OtherVersion);
  char tail[40];
  std::snprintf(tail, sizeof tail, "  PC-%d, IGN-%d", ProgramVersion, version);
  // The box is modal; ticks go on meanwhile and run the idle branch.
  Host.ShowModalMessage(Host.Messages().MsgUnitVersionMismatch + tail);
  StatusTicks = 0;
  return true;
}

void TLinkEngine::HandleBlockReply() {
  const std::uint8_t* frame = RxBuffer.data();
  if (!FrameCheckOk(frame) || frame[0] != (CurrentCommand ^ ReplyFlag) || TransferMode == tmIdle)
    return;
  NoLinkTicks = 0;
  const int block = CurrentCommand & 0x3F;
  if (block >= BlockCount) return;
  const std::uint8_t* payload = frame + 1;
  const bool equal = std::memcmp(payload, Image.Block(1), PayloadSize) == 0;

  switch (TransferMode) {
  case tmRead:
    if (Pass == TPass::BackUp) {
      // The unit's copy only: record, screen, identity texts and history stay as they are.
      std::copy_n(payload, PayloadSize, BackUp.Block(block));
      if (block == 0) {
        if (VersionMismatch(BackUp.Block0[10])) return;
        NextBlock();
      } else {
        ProgramAfterBackUp();
      }
      break;
    }
    std::copy_n(payload, PayloadSize, Image.Block(block));
    if (block == 0) {
      Host.DecodeUnitIdentity();
      if (Image.Block0[10] != ProgramVersion) {
        // A unit of another version: show what arrived before the box says so.
        Host.NormaliseParams();
        Host.ParamsToScreen();
      }
      if (VersionMismatch(Image.Block0[10])) return;
      NextBlock();
    } else {
      Host.NormaliseParams();
      Host.ParamsToScreen();
      StartVerifyPass();
    }
    break;
  case tmProgram:
    if (block == 0) {
      std::copy_n(payload, PayloadSize, Image.Block(0));
      Host.DecodeUnitIdentity();
      Host.NormaliseParams();
      Host.ParamsToScreen();
      if (VersionMismatch(Image.Block0[10])) return;
      NextBlock();
    } else {
      if (!equal) {
        KeepMismatch(payload);
        return; // resent by the time-out
      }
      TransferDone = true;
      StartVerifyPass();
    }
    break;
  case tmVerify:
    if (!equal) {
      KeepMismatch(payload);
      return;
    }
    SetGauge(GaugeMax);
    Host.SetStatusColour(TColour::ButtonFace);
    Host.SetStatusText(Host.Messages().MsgVerify + ": OK");
    HoldStatus();
    // The unit has not stored the parameters yet; its next monitor frame tells.
    SaveReportPending = TransferDone;
    EndPass(TPassResult::Ok);
    break;
  default:
    break;
  }
}
