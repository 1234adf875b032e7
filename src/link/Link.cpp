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
}

void TLinkEngine::ReceiveFrame() {
  if (Port == nullptr || !Port->IsOpen()) return;
  int waiting = Port->BytesWaiting();
  if (waiting < FrameSize) return; // also a failed query (-1)
  waiting = std::min(waiting, RxBufferSize);
  // A short read would leave an older frame in the buffer; never examine stale bytes.
  if (Port->Read(RxBuffer.data(), waiting) < FrameSize) return;
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
  DifferingReplies = 0;
  SaveReportPending = false;
  Host.SetStatusColour(TColour::ButtonFace);
  Host.SetStatusText(status);
  Host.SetStatusVisible(true);
  HoldStatus();
  SetGauge(0);
  Host.SetGaugeVisible(true);
}

void TLinkEngine::StartRead() {
  BeginTransfer(tmRead, 0x40, Host.Messages().MsgRead + ":");
}

void TLinkEngine::StartVerify() {
  BeginTransfer(tmVerify, 0x41, Host.Messages().MsgVerify + ":");
  TransferDone = false;
}

void TLinkEngine::StartProgram() {
  BeginTransfer(tmProgram, 0x00, Host.Messages().MsgProgramming + ":");
  TransferDone = false;
}

void TLinkEngine::StartProgramming() {
  BeginTransfer(tmProgram, 0x00, Host.Messages().MsgProgramming);
  TransferDone = false;
}

void TLinkEngine::NextBlock() {
  SetGauge(GaugeProgress + 1);
  ++CurrentCommand;
  RetryCount = 1;
  SendBlockFrame();
}

void TLinkEngine::StartVerifyPass() {
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

bool TLinkEngine::VersionMismatch() {
  const std::uint8_t version = Image.Block0[10];
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
    std::copy_n(payload, PayloadSize, Image.Block(block));
    if (block == 0) {
      Host.DecodeUnitIdentity();
      if (Image.Block0[10] != ProgramVersion) {
        // A unit of another version: show what arrived before the box says so.
        Host.NormaliseParams();
        Host.ParamsToScreen();
      }
      if (VersionMismatch()) return;
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
      if (VersionMismatch()) return;
      NextBlock();
    } else {
      if (!equal) { // resent by the time-out
        ++DifferingReplies;
        return;
      }
      TransferDone = true;
      StartVerifyPass();
    }
    break;
  case tmVerify:
    if (!equal) {
      ++DifferingReplies;
      return;
    }
    SetGauge(GaugeMax);
    Host.SetStatusColour(TColour::ButtonFace);
    Host.SetStatusText(Host.Messages().MsgVerify + ": OK");
    HoldStatus();
    TransferMode = tmIdle;
    // The unit has not stored the parameters yet; its next monitor frame tells.
    SaveReportPending = TransferDone;
    break;
  default:
    break;
  }
}
