#include "link/Link.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

void TLinkEngine::SetGauge(int progress) {
  GaugeProgress = std::clamp(progress, 0, GaugeMax);
  Host.SetGaugeProgress(GaugeProgress);
}

void TLinkEngine::Timer1Timer() {
  if (Port != nullptr && Port->IsOpen()) Port->SendUnsent();
  ReceiveFrame();

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
        if (MismatchKept) Host.OfferDifference(MismatchPc, MismatchUnit);
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

  if (NoLinkTicks < NoLinkLimitTicks) {
    ++NoLinkTicks;
    ConnectionShown = false;
  } else {
    ConnectionShown = !Printing;
  }
  Host.SetConnectionVisible(ConnectionShown);

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
  BackingUp = false;
}

void TLinkEngine::ReceiveFrame() {
  if (Port == nullptr || !Port->IsOpen()) return;
  const TPortCount waiting = Port->BytesWaiting();
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

void TLinkEngine::BeginTransfer(TTransferMode mode, std::uint8_t command,
                                const std::string& status) {
  TransferMode = mode;
  CurrentCommand = command;
  RetryCount = 0;
  SaveReportPending = false;
  ReadPass = false;
  BackingUp = false;
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
  BeginTransfer(tmRead, 0x40, Host.Messages().MsgRead + ":");
  ReadPass = true;
}

void TLinkEngine::StartVerify() {
  BeginTransfer(tmVerify, 0x41, Host.Messages().MsgVerify + ":");
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
    BeginTransfer(tmRead, 0x40, msg.MsgRead + ":");
    BackingUp = true;
    ProgramColon = colon;
  } else {
    BeginTransfer(tmProgram, 0x00, colon ? msg.MsgProgramming + ":" : msg.MsgProgramming);
  }
  TransferDone = false;
}

void TLinkEngine::NextBlock() {
  SetGauge(GaugeProgress + 1);
  ++CurrentCommand;
  RetryCount = 1;
  SendBlockFrame();
}

void TLinkEngine::StartVerifyPass() {
  MismatchKept = false;
  TransferMode = tmVerify;
  CurrentCommand = 0x41;
  RetryCount = 1;
  SendBlockFrame();
  Host.SetStatusColour(TColour::ButtonFace);
  Host.SetStatusText(Host.Messages().MsgVerify + ":");
  HoldStatus();
  Host.SetStatusVisible(true);
  SetGauge(0);
}

// The unit's copy is safe on disk before block 1 is written: the write of block 0 goes
// first, and the store runs before the next tick can send block 1.
void TLinkEngine::ProgramAfterBackUp() {
  BackingUp = false;
  TransferMode = tmProgram;
  CurrentCommand = 0x00;
  RetryCount = 1;
  TransferDone = false;
  SendBlockFrame();
  const TMessageCatalogue& msg = Host.Messages();
  Host.SetStatusColour(TColour::ButtonFace);
  Host.SetStatusText(ProgramColon ? msg.MsgProgramming + ":" : msg.MsgProgramming);
  StatusTicks = StatusDisplayTicks;
  Host.SetStatusVisible(true);
  SetGauge(0);
  Host.StoreRestorePoint(BackUp, TRestoreKind::Read);
}

void TLinkEngine::KeepMismatch(const std::uint8_t* reply) {
  MismatchPc = Image.Params;
  std::memcpy(&MismatchUnit, reply, PayloadSize);
  MismatchKept = true;
}

bool TLinkEngine::VersionMismatch(std::uint8_t version) {
  if (version == ProgramVersion) return false;
  TransferMode = tmIdle;
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
    if (BackingUp) {
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
    TransferMode = tmIdle;
    // The unit has not stored the parameters yet; its next monitor frame tells.
    SaveReportPending = TransferDone;
    if (TransferDone)
      Host.StoreRestorePoint(Image, TRestoreKind::Programmed);
    else if (ReadPass)
      Host.StoreRestorePoint(Image, TRestoreKind::Read);
    ReadPass = false;
    break;
  default:
    break;
  }
}
