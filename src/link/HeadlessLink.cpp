#include "link/HeadlessLink.h"

#include "model/Defaults.h"
#include "model/Normalise.h"

THeadlessHost::THeadlessHost(TDeviceImage& image) : Image(image) {
  // A command-line tool's texts are English.
  FillMessageCatalogue(Msg, LangEnglish);
}

void THeadlessHost::ShowMonitorFrame(const TMonitorView& view) {
  if (OnMonitorFrame) OnMonitorFrame(view);
}

void THeadlessHost::NormaliseParams() {
  // Only the record matters here; no window language or Com menu to keep in range.
  TLanguage language = LangEnglish;
  std::uint8_t comPort = 1;
  ::NormaliseParams(Image.Params, language, comPort);
}

void THeadlessHost::DecodeUnitIdentity() {
  ::DecodeUnitIdentity(Image, Identity);
  IdentityDecoded = true;
}

THeadlessLink::THeadlessLink(TPort& port, std::function<void()> waitTick)
    : WaitTick(std::move(waitTick)) {
  // A window started afresh: the defaults in a zero image, normalised.
  LoadDefaultParams(Image.Params);
  Host.NormaliseParams();
  Engine.SetPort(&port);
}

void THeadlessLink::Tick() {
  WaitTick();
  Engine.Timer1Timer();
  ++Ticks;
  ++PassTicks;
}

TPassOutcome THeadlessLink::Run(void (TLinkEngine::*start)()) {
  Host.ModalText.clear();
  PassTicks = 0;
  (Engine.*start)();
  while (PassTicks < PassTickLimit) {
    Tick();
    if (!Host.ModalText.empty()) return TPassOutcome::OtherVersion;
    if (Engine.TransferMode != tmIdle) continue;
    if (Host.StatusColour != TColour::Red) return TPassOutcome::Ok;
    return Host.Differed ? TPassOutcome::Differs : TPassOutcome::NoReply;
  }
  return TPassOutcome::NoReply;
}

TPassOutcome THeadlessLink::ReadIdentity() {
  Host.ModalText.clear();
  Host.IdentityDecoded = false;
  PassTicks = 0;
  Engine.StartRead();
  while (PassTicks < PassTickLimit) {
    Tick();
    if (!Host.ModalText.empty()) return TPassOutcome::OtherVersion;
    if (Host.IdentityDecoded) return TPassOutcome::Ok;
    if (Engine.TransferMode == tmIdle) return TPassOutcome::NoReply;
  }
  return TPassOutcome::NoReply;
}

TPassOutcome THeadlessLink::WaitStored() {
  PassTicks = 0;
  while (PassTicks < StoreTickLimit) {
    Tick();
    // The condition under which the tick shows "Programing: OK".
    if (Engine.TransferDone && !Engine.SaveReportPending && Engine.SaveCountdown == 0)
      return TPassOutcome::Ok;
    if (Engine.ConnectionVisible()) return TPassOutcome::NoReply;
  }
  return TPassOutcome::NotStored;
}

bool THeadlessLink::Watch(const std::function<bool()>& stop) {
  PassTicks = 0;
  for (;;) {
    Tick();
    if (stop()) return true;
    if (Engine.ConnectionVisible()) return false;
  }
}
