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
  // A stop asked for while waiting comes before the tick: no frame leaves after it.
  if (StopNow()) return;
  Engine.Timer1Timer();
  ++Ticks;
  ++PassTicks;
}

bool THeadlessLink::StopNow() {
  Stopped = StopRequested && StopRequested();
  return Stopped;
}

TPassResult THeadlessLink::TickUntilEnd(long since, long limit, TPassResult late) {
  while (PassTicks < limit) {
    Tick();
    if (Stopped) return TPassResult::NoReply;
    if (Engine.Outcomes() != since) return Engine.LastOutcome().Result;
  }
  return late;
}

TPassResult THeadlessLink::Run(void (TLinkEngine::*start)()) {
  Host.ModalText.clear();
  PassTicks = 0;
  Stopped = false;
  const long since = Engine.Outcomes();
  (Engine.*start)();
  return TickUntilEnd(since, PassTickLimit, TPassResult::NoReply);
}

TPassResult THeadlessLink::ReadIdentity() {
  Host.ModalText.clear();
  Host.IdentityDecoded = false;
  PassTicks = 0;
  Stopped = false;
  const long since = Engine.Outcomes();
  Engine.StartRead();
  while (PassTicks < PassTickLimit) {
    Tick();
    if (Stopped) return TPassResult::NoReply;
    if (Engine.Outcomes() != since) return Engine.LastOutcome().Result;
    if (Host.IdentityDecoded) return TPassResult::Ok;
  }
  return TPassResult::NoReply;
}

TPassResult THeadlessLink::WaitStored() {
  PassTicks = 0;
  Stopped = false;
  if (Engine.Phase() != TLinkPhase::Storing) return TPassResult::NotStored;
  return TickUntilEnd(Engine.Outcomes(), StoreTickLimit, TPassResult::NotStored);
}

bool THeadlessLink::Watch(const std::function<bool()>& stop) {
  PassTicks = 0;
  for (;;) {
    Tick();
    if (stop()) return true;
    if (Engine.ConnectionVisible()) return false;
  }
}
