// The tick engine tick by tick, against the simulated unit in-process.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <deque>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "SimUnit.h"
#include "support/RecordingHost.h"
#include "link/HeadlessLink.h"
#include "link/Link.h"
#include "model/Normalise.h"

// The tick rules' numbers stand here as literals (five sends, 4 ticks apart, a monitor
// request every 6th tick, "No connection" on the 18th tick, the status label 200 ticks),
// so that a wrong constant in the program fails instead of agreeing with itself.
namespace {

struct TSentFrame {
  int Tick;
  TLinkFrame Bytes;
};

// Hands every write to the unit; the reply waits in the receive queue from the next tick
// on, like a unit that answers within a tick. Faults are switched per reply.
class TSimPort : public TPort {
public:
  TSimPort(TSimUnit& unit, const int& now) : Unit(unit), Now(now) {}

  bool IsOpen() const override { return Open; }
  TPortCount BytesWaiting() override {
    return Open ? Counted(static_cast<int>(Waiting.size())) : TPortCount{};
  }
  TPortCount Read(std::uint8_t* buffer, int max) override {
    const int n = std::min<int>(max, static_cast<int>(Waiting.size()));
    std::copy_n(Waiting.begin(), n, buffer);
    Waiting.erase(Waiting.begin(), Waiting.begin() + n);
    return Counted(n);
  }
  bool Write(const std::uint8_t* data, int count) override {
    if (!Open || count != FrameSize) return false;
    TSentFrame sent{Now, {}};
    std::copy_n(data, FrameSize, sent.Bytes.begin());
    Sent.push_back(sent);
    Unit.HandleRequest(data, Reply);
    if (Reply.empty() || Unplugged) return true;
    if (DropNext > 0) {
      --DropNext;
      return true;
    }
    if (Mutate) Mutate(Reply);
    const int due = Now + 1 + DelayTicks;
    const int split = std::exchange(SplitAt, 0);
    if (split > 0 && split < static_cast<int>(Reply.size())) {
      Pending.push_back({due, {Reply.begin(), Reply.begin() + split}});
      Pending.push_back({due + 1, {Reply.begin() + split, Reply.end()}});
    } else {
      Pending.push_back({due, Reply});
    }
    return true;
  }
  bool WaitSent(int) override { return Open; }
  void Close() override { Open = false; }

  // Called at the start of every tick: replies that are due join the receive queue.
  void Deliver() {
    while (!Pending.empty() && Pending.front().Due <= Now) {
      Waiting.insert(Waiting.end(), Pending.front().Bytes.begin(), Pending.front().Bytes.end());
      Pending.pop_front();
    }
  }
  void DiscardPending() { Pending.clear(); }
  void Inject(const std::vector<std::uint8_t>& bytes) {
    Waiting.insert(Waiting.end(), bytes.begin(), bytes.end());
  }
  std::vector<TSentFrame> BlockFrames() const {
    std::vector<TSentFrame> out;
    for (const TSentFrame& f : Sent)
      if (f.Bytes[0] != MonitorRequestCommand) out.push_back(f);
    return out;
  }
  int MonitorRequests() const {
    return static_cast<int>(std::count_if(Sent.begin(), Sent.end(), [](const TSentFrame& f) {
      return f.Bytes[0] == MonitorRequestCommand;
    }));
  }

  bool Open = true;
  bool Unplugged = false; // the unit hears but its replies never arrive
  int DropNext = 0;       // leave out the next replies
  int DelayTicks = 0;     // replies arrive this many ticks late
  int SplitAt = 0;        // the next reply arrives in two parts, one tick apart
  std::function<void(std::vector<std::uint8_t>&)> Mutate;
  std::vector<TSentFrame> Sent;
  std::deque<std::uint8_t> Waiting;

private:
  struct TPending {
    int Due;
    std::vector<std::uint8_t> Bytes;
  };
  TSimUnit& Unit;
  const int& Now;
  std::deque<TPending> Pending;
  std::vector<std::uint8_t> Reply;
};

std::vector<std::uint8_t> Sealed(std::uint8_t command, const std::uint8_t* payload = nullptr) {
  TLinkFrame f{};
  f[0] = command;
  if (payload) std::memcpy(f.data() + 1, payload, PayloadSize);
  SealFrame(f);
  return {f.begin(), f.end()};
}

// A monitor reply that reports this storing countdown.
void SetCountdown(std::vector<std::uint8_t>& frame, std::uint16_t countdown) {
  frame[47] = static_cast<std::uint8_t>(countdown & 0xFF);
  frame[48] = static_cast<std::uint8_t>(countdown >> 8);
  frame[51] = FrameCheckByte(frame.data());
}

struct TRig {
  explicit TRig(const TSimOptions& options = {})
      : Unit(options), Host(Image), Port(Unit, TickNo), Engine(Image, Host) {
    for (int i = 0; i < BlockSize; ++i) Image.Block0[i] = static_cast<std::uint8_t>(0xA0 + i);
    std::memcpy(Image.Block(1), Unit.Block(1), BlockSize);
    Image.Params.BaseAdv = 12; // a change to program
    Engine.SetPort(&Port);
  }
  void Tick() {
    ++TickNo;
    Port.Deliver();
    Unit.Advance(TickMs / 1000.0);
    Engine.Timer1Timer();
  }
  void Ticks(int n) {
    for (int i = 0; i < n; ++i) Tick();
  }
  // Ticks until done() holds; the number of ticks taken, or -1 after limit ticks.
  int TickUntil(const std::function<bool()>& done, int limit = 400) {
    for (int i = 1; i <= limit; ++i) {
      Tick();
      if (done()) return i;
    }
    return -1;
  }
  int TickUntilText(const std::string& text, int limit = 400) {
    return TickUntil([&] { return Host.StatusText == text; }, limit);
  }

  TDeviceImage Image{};
  int TickNo = 0;
  TSimUnit Unit;
  TRecordingHost Host;
  TSimPort Port;
  TLinkEngine Engine;
};

struct TModeCase {
  const char* Name;
  void (TLinkEngine::*Start)();
  TTransferMode Mode;
  std::uint8_t Command;
  const char* Status;
  const char* Error;
};

const TModeCase Modes[] = {
    {"read", &TLinkEngine::StartRead, tmRead, 0x40, "Read:", "Read error!"},
    {"verify", &TLinkEngine::StartVerify, tmVerify, 0x41, "Verify:", "Verify error!"},
    {"program", &TLinkEngine::StartProgram, tmProgram, 0x00, "Programing:", "Program error!"},
    {"program after change", &TLinkEngine::StartProgramming, tmProgram, 0x00, "Programing",
     "Program error!"},
};

TSimOptions Silent() {
  TSimOptions o;
  o.Silent = true;
  return o;
}

TSimOptions Faulty(bool TSimOptions::*fault) {
  TSimOptions o;
  o.*fault = true;
  return o;
}

TSimOptions BadEcho() {
  return Faulty(&TSimOptions::BadEcho);
}
TSimOptions BadVerify() {
  return Faulty(&TSimOptions::BadVerify);
}

TSimOptions Version66() {
  TSimOptions o;
  o.LayoutVersion = 66;
  return o;
}

} // namespace

TEST(LinkEngineEntries, SetUpTheTransferWithoutSending) {
  for (const TModeCase& m : Modes) {
    SCOPED_TRACE(m.Name);
    TRig rig;
    rig.Engine.RetryCount = 3;
    rig.Engine.TransferDone = true;
    rig.Host.StatusColour = TColour::Red;
    (rig.Engine.*m.Start)();
    EXPECT_EQ(rig.Engine.TransferMode, m.Mode);
    EXPECT_EQ(rig.Engine.CurrentCommand, m.Command);
    EXPECT_EQ(rig.Engine.RetryCount, 0);
    EXPECT_EQ(rig.Engine.StatusTicks, 200);
    EXPECT_EQ(rig.Host.StatusText, m.Status);
    EXPECT_EQ(rig.Host.StatusColour, TColour::ButtonFace);
    EXPECT_TRUE(rig.Host.StatusVisible);
    EXPECT_EQ(rig.Host.Gauge, 0);
    EXPECT_TRUE(rig.Host.GaugeVisible);
    EXPECT_EQ(rig.Engine.TransferDone, m.Mode == tmRead); // a read clears it on its ticks
    EXPECT_TRUE(rig.Port.Sent.empty());
  }
}

// No unit: the first send 1 to 4 ticks after the command, whatever the idle cadence left
// in SendTicks, then a resend every 4 ticks, and the mode's error 4 ticks after the fifth.
TEST(LinkEngineTiming, FirstSendResendsAndFailureOfEveryModeFromEveryIdlePhase) {
  for (const TModeCase& m : Modes) {
    for (int phase = 0; phase < 6; ++phase) {
      SCOPED_TRACE(std::string(m.Name) + " phase " + std::to_string(phase));
      TRig rig(Silent());
      rig.Ticks(phase);
      ASSERT_EQ(rig.Engine.SendTicks, phase);
      (rig.Engine.*m.Start)();
      const int start = rig.TickNo;
      const int first = phase >= 3 ? 1 : 4 - phase;
      rig.Ticks(first + 4 * (5 - 1));
      const std::vector<TSentFrame> sent = rig.Port.BlockFrames();
      ASSERT_EQ(sent.size(), 5u);
      std::uint8_t payload[PayloadSize] = {};
      if (m.Mode == tmVerify) std::memcpy(payload, rig.Image.Block(1), PayloadSize);
      if (m.Mode == tmProgram) std::memcpy(payload, rig.Image.Block(0), PayloadSize);
      for (int k = 0; k < 5; ++k) {
        EXPECT_EQ(sent[k].Tick - start, first + 4 * k) << k;
        EXPECT_EQ(sent[k].Bytes[0], m.Command);
        EXPECT_EQ(std::memcmp(sent[k].Bytes.data() + 1, payload, PayloadSize), 0);
        EXPECT_TRUE(FrameCheckOk(sent[k].Bytes.data()));
      }
      EXPECT_EQ(rig.Engine.RetryCount, 5);
      EXPECT_EQ(rig.Port.MonitorRequests(), 0);
      rig.Engine.TransferDone = true; // how each mode treats it on its last tick
      rig.Ticks(3);
      EXPECT_EQ(rig.Engine.TransferMode, m.Mode);
      EXPECT_EQ(rig.Host.StatusText, m.Status);
      rig.Tick();
      EXPECT_EQ(rig.Port.BlockFrames().size(), 5u);
      EXPECT_EQ(rig.Engine.TransferMode, tmIdle);
      EXPECT_EQ(rig.Host.StatusText, m.Error);
      EXPECT_EQ(rig.Host.StatusColour, TColour::Red);
      EXPECT_EQ(rig.Engine.StatusTicks, 199); // 200, aged once on its tick
      EXPECT_EQ(rig.Engine.TransferDone, m.Mode == tmProgram);
      rig.Engine.TransferDone = false;
      // The label stays 200 ticks, and the monitor polling resumes meanwhile.
      rig.Ticks(199);
      EXPECT_TRUE(rig.Host.StatusVisible);
      EXPECT_EQ(rig.Host.StatusText, m.Error);
      rig.Tick();
      EXPECT_FALSE(rig.Host.StatusVisible);
      EXPECT_FALSE(rig.Host.GaugeVisible);
      EXPECT_GE(rig.Port.MonitorRequests(), 200 / 6);
    }
  }
}

TEST(LinkEngineTiming, ReadClearsTransferDoneOnEveryTickVerifyAndProgramLeaveIt) {
  for (const TModeCase& m : Modes) {
    SCOPED_TRACE(m.Name);
    TRig rig(Silent());
    (rig.Engine.*m.Start)();
    rig.Engine.TransferDone = true;
    rig.Tick();
    EXPECT_EQ(rig.Engine.TransferDone, m.Mode != tmRead);
  }
}

TEST(LinkEngineTiming, MonitorEverySixthTickAndTheConnectionIndicator) {
  TRig rig;
  rig.Ticks(60);
  ASSERT_EQ(rig.Port.MonitorRequests(), 10);
  for (int k = 0; k < 10; ++k) EXPECT_EQ(rig.Port.Sent[k].Tick, 6 * (k + 1));
  EXPECT_EQ(rig.Host.MonitorFrames, 9); // the reply to tick 60's request arrives on tick 61
  EXPECT_FALSE(rig.Host.ConnectionVisible);
  EXPECT_EQ(rig.Host.VersionHidden, 0);

  rig.Tick(); // accepts the last reply
  ASSERT_EQ(rig.Host.MonitorFrames, 10);
  const int accepted = rig.TickNo;
  rig.Port.Unplugged = true;
  const int shown = rig.TickUntil([&] { return rig.Host.ConnectionVisible; });
  EXPECT_EQ(shown, 18); // the 18th tick without an accepted frame
  rig.Ticks(2);
  EXPECT_EQ(rig.Host.VersionHidden, 3);

  rig.Port.Unplugged = false;
  const int frames = rig.Host.MonitorFrames;
  rig.TickUntil([&] { return rig.Host.MonitorFrames > frames; }, 6 + 1);
  EXPECT_FALSE(rig.Host.ConnectionVisible) << "an accepted frame hides it on its own tick";
  EXPECT_GT(rig.TickNo, accepted + 18);
}

// Only after a programming pass that succeeded (TransferDone) does the unit's countdown
// take the status label.
TEST(LinkEngineStatus, StoringProgressFromTheUnitsCountdown) {
  struct {
    std::uint16_t Countdown;
    bool Done;
    const char* Text;
    int Gauge;
  } const cases[] = {
      {53, true, "Saving:", 0},       {30, true, "Saving:", 1},     {10, true, "Saving:", 2},
      {1, true, "Saving:", 2},        {54, true, "Saving:", 0},     {65535, true, "Saving:", 0},
      {0, true, "Programing: OK", 3}, {30, false, "untouched", -1}, {0, false, "untouched", -1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.Countdown) + (c.Done ? " done" : " not done"));
    TRig rig;
    rig.Engine.SetPort(nullptr);
    rig.Host.StatusText = "untouched";
    rig.Host.StatusColour = TColour::Red;
    rig.Engine.SaveCountdown = c.Countdown;
    rig.Engine.TransferDone = c.Done;
    rig.Engine.StatusTicks = 5;
    rig.Tick();
    EXPECT_EQ(rig.Host.StatusText, c.Text);
    EXPECT_EQ(rig.Host.Gauge, c.Gauge);
    const bool saving = c.Done && c.Countdown > 0;
    EXPECT_EQ(rig.Host.StatusColour, saving ? TColour::ButtonFace : TColour::Red);
    EXPECT_EQ(rig.Engine.StatusTicks, saving ? 199 : 4);
    EXPECT_TRUE(rig.Host.StatusVisible);
  }
}

TEST(LinkEngineStatus, PrintingKeepsBothLabelsHidden) {
  TRig rig(Silent());
  rig.Engine.SetPrinting(true);
  rig.Engine.StartRead();
  for (int i = 0; i < 40; ++i) {
    rig.Tick();
    EXPECT_FALSE(rig.Host.StatusVisible) << i;
    EXPECT_FALSE(rig.Host.ConnectionVisible) << i;
  }
  EXPECT_EQ(rig.Host.StatusText, "Read error!");
  rig.Engine.SetPrinting(false);
  rig.Tick();
  EXPECT_TRUE(rig.Host.StatusVisible);
  EXPECT_TRUE(rig.Host.ConnectionVisible);
}

TEST(LinkEngineTransfer, ProgramWalkThrough) {
  TRig rig;
  std::deque<std::uint16_t> countdowns;
  rig.Port.Mutate = [&](std::vector<std::uint8_t>& reply) {
    if (reply[0] != MonitorReplyCommand) return;
    SetCountdown(reply, countdowns.empty() ? 0 : countdowns.front());
    if (!countdowns.empty()) countdowns.pop_front();
  };
  rig.Ticks(5); // SendTicks 5: the very next tick sends
  const TIgnParams programmed = rig.Image.Params;
  rig.Engine.StartProgram();
  ASSERT_EQ(rig.TickUntil([&] { return rig.Engine.TransferMode == tmIdle; }, 10), 4);
  const std::vector<TSentFrame> sent = rig.Port.BlockFrames();
  ASSERT_EQ(sent.size(), 3u);
  const std::uint8_t commands[] = {0x00, 0x01, 0x41};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(sent[i].Bytes[0], commands[i]);
    EXPECT_EQ(sent[i].Tick, 6 + i) << "one tick per reply";
  }
  EXPECT_EQ(sent[0].Bytes[1], 0xA0); // the PC's block 0 as it was before the reply
  EXPECT_EQ(sent[0].Bytes[50], 0xA0 + 49);
  EXPECT_EQ(std::memcmp(sent[1].Bytes.data() + 1, &programmed, PayloadSize), 0);
  EXPECT_EQ(std::memcmp(sent[2].Bytes.data() + 1, &programmed, PayloadSize), 0);
  EXPECT_EQ(std::memcmp(rig.Unit.Block(1), &programmed, PayloadSize), 0);
  EXPECT_EQ(std::memcmp(rig.Image.Block(0), rig.Unit.Block(0), BlockSize), 0);
  EXPECT_TRUE(rig.Engine.TransferDone);
  EXPECT_EQ(rig.Host.Events, (std::vector<std::string>{"Decode", "Normalise", "ParamsToScreen"}));

  countdowns = {53, 30, 10, 0};
  ASSERT_GT(rig.TickUntilText("Saving:", 10), 0);
  ASSERT_GT(rig.TickUntilText("Programing: OK", 20), 0);
  const int lastSaving = rig.TickNo - 1;
  // "Programing: OK" waits for the unit's first report of its storing.
  EXPECT_EQ(rig.Host.Texts, (std::vector<std::string>{"Programing:", "Verify:", "Verify: OK",
                                                      "Saving:", "Programing: OK"}));
  EXPECT_EQ(rig.Host.Gauges, (std::vector<int>{0, 1, 0, 3, 0, 1, 2, 3}));
  EXPECT_EQ(rig.Host.StatusColour, TColour::ButtonFace);
  // Gone 200 ticks after the last "Saving:" tick set StatusTicks.
  rig.Ticks(lastSaving + 199 - rig.TickNo);
  EXPECT_TRUE(rig.Host.StatusVisible);
  EXPECT_TRUE(rig.Engine.TransferDone);
  EXPECT_EQ(rig.Host.StatusText, "Programing: OK");
  rig.Tick();
  EXPECT_FALSE(rig.Host.StatusVisible);
  EXPECT_FALSE(rig.Host.GaugeVisible);
  EXPECT_FALSE(rig.Engine.TransferDone);
  rig.Ticks(3);
  EXPECT_FALSE(rig.Host.StatusVisible);
  EXPECT_EQ(rig.Host.Texts.back(), "Programing: OK");
}

TEST(LinkEngineTransfer, ReadAndVerifyOfAHealthyUnit) {
  {
    TRig rig;
    rig.Engine.StartRead();
    ASSERT_EQ(rig.TickUntilText("Verify: OK", 10), 4 + 3);
    const std::vector<TSentFrame> sent = rig.Port.BlockFrames();
    ASSERT_EQ(sent.size(), 3u);
    std::uint8_t zero[PayloadSize] = {};
    EXPECT_EQ(sent[0].Bytes[0], 0x40);
    EXPECT_EQ(sent[1].Bytes[0], 0x41);
    EXPECT_EQ(std::memcmp(sent[1].Bytes.data() + 1, zero, PayloadSize), 0);
    EXPECT_EQ(sent[2].Bytes[0], 0x41);
    EXPECT_EQ(std::memcmp(sent[2].Bytes.data() + 1, rig.Unit.Block(1), PayloadSize), 0);
    EXPECT_EQ(std::memcmp(rig.Image.Bytes(), rig.Unit.Block(0), BlockSize), 0);
    EXPECT_EQ(std::memcmp(rig.Image.Block(1), rig.Unit.Block(1), BlockSize), 0);
    EXPECT_EQ(rig.Host.Texts, (std::vector<std::string>{"Read:", "Verify:", "Verify: OK"}));
    EXPECT_EQ(rig.Host.Gauges, (std::vector<int>{0, 1, 0, 3}));
    EXPECT_EQ(rig.Host.Events, (std::vector<std::string>{"Decode", "Normalise", "ParamsToScreen"}));
  }
  {
    TRig rig;
    rig.Unit.SetBlock1(rig.Image.Block(1));
    rig.Engine.StartVerify();
    ASSERT_EQ(rig.TickUntilText("Verify: OK", 10), 4 + 1);
    EXPECT_EQ(rig.Port.BlockFrames().size(), 1u);
    EXPECT_EQ(rig.Host.Gauges, (std::vector<int>{0, 3}));
    EXPECT_TRUE(rig.Host.Events.empty());
  }
}

TEST(LinkEngineTransfer, ReadOfARecordOutsideTheLimitsShowsItNormalisedAndFailsItsVerify) {
  TRig rig;
  std::uint8_t outside[BlockSize];
  std::memcpy(outside, rig.Unit.Block(1), BlockSize);
  outside[offsetof(TIgnParams, Omez1)] = 200; // start limiter above the limiter (150)
  rig.Unit.SetBlock1(outside);
  rig.Engine.StartRead();
  ASSERT_GT(rig.TickUntilText("Verify error!", 60), 0);
  EXPECT_EQ(rig.Image.Params.Omez1, 150);
  EXPECT_EQ(rig.Host.ParamsShown, 1);
  const std::vector<TSentFrame> sent = rig.Port.BlockFrames();
  ASSERT_EQ(sent.size(), 2u + 5);
  for (std::size_t i = 2; i < sent.size(); ++i) {
    EXPECT_EQ(sent[i].Bytes[0], 0x41);
    EXPECT_EQ(std::memcmp(sent[i].Bytes.data() + 1, rig.Image.Block(1), PayloadSize), 0);
    EXPECT_EQ(sent[i].Bytes[1 + offsetof(TIgnParams, Omez1)], 150);
  }
  EXPECT_EQ(rig.Host.StatusColour, TColour::Red);
}

TEST(LinkEngineTransfer, UnitOfAnotherVersionStopsReadAndProgramAfterBlockZero) {
  for (const TModeCase& m : Modes) {
    if (m.Mode == tmVerify) continue; // a verify never sees block 0
    SCOPED_TRACE(m.Name);
    TSimOptions options;
    options.LayoutVersion = 66;
    TRig rig(options);
    const TIgnParams record = rig.Image.Params;
    (rig.Engine.*m.Start)();
    const int ticks = rig.TickUntil([&] { return !rig.Host.Modals.empty(); }, 10);
    ASSERT_GT(ticks, 0);
    EXPECT_EQ(rig.Host.Modals,
              (std::vector<std::string>{
                  "Unmatched version of PC and Ignition programs!  PC-67, IGN-66"}));
    EXPECT_EQ(rig.Host.Events,
              (std::vector<std::string>{"Decode", "Normalise", "ParamsToScreen", "Modal"}));
    EXPECT_EQ(rig.Engine.TransferMode, tmIdle);
    EXPECT_EQ(rig.Image.Block0[10], 66);
    EXPECT_EQ(std::memcmp(&rig.Image.Params, &record, BlockSize), 0);
    // The tick that opened the box hides the label and the gauge.
    EXPECT_FALSE(rig.Host.StatusVisible);
    EXPECT_FALSE(rig.Host.GaugeVisible);
    rig.Ticks(30);
    EXPECT_EQ(rig.Port.BlockFrames().size(), 1u);
    EXPECT_FALSE(rig.Host.StatusVisible);
    EXPECT_EQ(rig.Host.Modals.size(), 1u);
  }
}

TEST(LinkEngineTransfer, ModalBoxInsideATickLetsIdleTicksRunAndTheTickFinishesAfterwards) {
  TSimOptions options;
  options.LayoutVersion = 66;
  TRig rig(options);
  constexpr int Nested = 8;
  int monitorBefore = 0, framesBefore = 0, highlightsBefore = 0;
  std::vector<TTransferMode> modes;
  std::vector<bool> statusVisible;
  rig.Host.WhileModal = [&] {
    monitorBefore = rig.Port.MonitorRequests();
    framesBefore = rig.Host.MonitorFrames;
    highlightsBefore = rig.Host.Highlights;
    for (int i = 0; i < Nested; ++i) {
      rig.Tick();
      modes.push_back(rig.Engine.TransferMode);
      statusVisible.push_back(rig.Host.StatusVisible);
    }
  };
  rig.Engine.StartRead();
  rig.TickUntil([&] { return !rig.Host.Modals.empty(); }, 10);
  ASSERT_EQ(modes.size(), static_cast<std::size_t>(Nested));
  for (int i = 0; i < Nested; ++i) {
    EXPECT_EQ(modes[i], tmIdle);
    EXPECT_TRUE(statusVisible[i]) << "StatusTicks is cleared only when the box closes";
  }
  EXPECT_GE(rig.Port.MonitorRequests() - monitorBefore, 1);
  EXPECT_GE(rig.Host.MonitorFrames - framesBefore, 1);
  EXPECT_EQ(rig.Host.Highlights - highlightsBefore, Nested + 1);
  EXPECT_FALSE(rig.Host.StatusVisible);
  EXPECT_FALSE(rig.Host.GaugeVisible);
  EXPECT_EQ(rig.Port.BlockFrames().size(), 1u);
}

TEST(LinkEngineTransfer, EchoWithOneByteChangedSendsBlockOneFiveTimes) {
  TSimOptions options;
  options.BadEcho = true;
  TRig rig(options);
  rig.Engine.StartProgram();
  const int failed = rig.TickUntilText("Program error!", 60);
  const std::vector<TSentFrame> sent = rig.Port.BlockFrames();
  ASSERT_EQ(sent.size(), 1u + 5);
  // Block 1 leaves from the reply in the receive step; the mode step of that same tick
  // already counts SendTicks to 1, so its first resend comes 3 ticks later, the others 4.
  const int expected[] = {4, 5, 8, 12, 16, 20};
  for (std::size_t i = 0; i < sent.size(); ++i) {
    EXPECT_EQ(sent[i].Bytes[0], i == 0 ? 0x00 : 0x01);
    EXPECT_EQ(sent[i].Tick, expected[i]) << i;
  }
  EXPECT_EQ(failed, 24);
  EXPECT_EQ(rig.Host.StatusColour, TColour::Red);
  EXPECT_FALSE(rig.Engine.TransferDone);
  EXPECT_EQ(rig.Engine.NoLinkTicks, 4) << "the echoes were accepted frames";
}

// The unit took block 1 and stores it, but its echo or its verify copy differs: the red
// text stands its 200 ticks while the monitor frames report the storing.
TEST(LinkEngineTransfer, AFailedProgrammingPassStaysRedWhileTheUnitStores) {
  struct {
    const char* Name;
    bool TSimOptions::*Fault;
    const char* Error;
    std::size_t Sends;
  } const cases[] = {{"bad echo", &TSimOptions::BadEcho, "Program error!", 1 + 5},
                     {"bad verify", &TSimOptions::BadVerify, "Verify error!", 2 + 5}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TSimOptions options;
    options.*c.Fault = true;
    TRig rig(options);
    rig.Engine.StartProgram();
    ASSERT_GT(rig.TickUntilText(c.Error, 60), 0);
    EXPECT_EQ(rig.Port.BlockFrames().size(), c.Sends);
    EXPECT_FALSE(rig.Engine.TransferDone);
    const std::size_t texts = rig.Host.Texts.size();
    bool storingReported = false;
    for (int i = 1; i < 200; ++i) {
      rig.Tick();
      storingReported |= rig.Engine.SaveCountdown > 0;
      ASSERT_EQ(rig.Host.StatusText, c.Error) << i;
      ASSERT_EQ(rig.Host.StatusColour, TColour::Red) << i;
      ASSERT_TRUE(rig.Host.StatusVisible) << i;
    }
    EXPECT_TRUE(storingReported);
    rig.Tick();
    EXPECT_FALSE(rig.Host.StatusVisible);
    rig.Ticks(100);
    EXPECT_EQ(rig.Host.Texts.size(), texts) << rig.Host.Texts.back();
  }
}

TEST(LinkEngineTransfer, ReadDuringProgrammingRestartsAtBlockZero) {
  TRig rig;
  rig.Engine.StartProgram();
  rig.TickUntil([&] { return rig.Engine.CurrentCommand == 0x01; }, 10);
  ASSERT_EQ(rig.Port.BlockFrames().back().Bytes[0], 0x01);
  rig.Engine.StartRead(); // the echo of block 1 is on its way
  EXPECT_EQ(rig.Engine.CurrentCommand, 0x40);
  EXPECT_EQ(rig.Host.StatusText, "Read:");
  EXPECT_EQ(rig.Host.Gauge, 0);
  rig.Tick();
  EXPECT_EQ(rig.Engine.CurrentCommand, 0x40) << "the late echo 0x81 is ignored";
  EXPECT_FALSE(rig.Engine.TransferDone);
  ASSERT_GT(rig.TickUntilText("Verify: OK", 10), 0);
  const std::vector<TSentFrame> sent = rig.Port.BlockFrames();
  ASSERT_EQ(sent.size(), 5u);
  EXPECT_EQ(sent[2].Bytes[0], 0x40);
  EXPECT_EQ(sent[3].Bytes[0], 0x41);
  EXPECT_EQ(sent[4].Bytes[0], 0x41);
}

// Frames that fail a check change nothing: no state, no label, NoLinkTicks goes on counting.
TEST(LinkEngineReceive, FramesThatFailTheirChecksAreIgnored) {
  enum TStage { Idle, WritingBlock1, Verifying };
  const std::uint8_t block[PayloadSize] = {1, 2, 3};
  auto badCheck = [](std::vector<std::uint8_t> f) {
    f[51] ^= 0x01;
    return f;
  };
  struct {
    const char* Name;
    TStage Stage;
    std::vector<std::uint8_t> Frame;
  } const cases[] = {
      {"stale 0x80 while writing block 1", WritingBlock1, Sealed(0x80, block)},
      {"0x80 while verifying", Verifying, Sealed(0x80, block)},
      {"block reply while idle", Idle, Sealed(0xC1, block)},
      {"0xB1 while idle", Idle, Sealed(0xB1, block)},
      {"0xB1 while verifying", Verifying, Sealed(0xB1, block)},
      {"monitor frame with a wrong check byte", Idle, badCheck(Sealed(0xB0, block))},
      {"verify reply with a wrong check byte", Verifying, badCheck(Sealed(0xC1, block))},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TRig rig;
    rig.Port.Unplugged = true; // only the injected frame arrives
    if (c.Stage == WritingBlock1) {
      rig.Port.Unplugged = false;
      rig.Engine.StartProgram();
      rig.TickUntil([&] { return rig.Engine.CurrentCommand == 0x01; }, 10);
      rig.Port.Unplugged = true;
      rig.Port.DiscardPending();
    } else if (c.Stage == Verifying) {
      rig.Engine.StartVerify();
    }
    rig.Tick();
    const TDeviceImage image = rig.Image;
    const auto mode = rig.Engine.TransferMode;
    const auto command = rig.Engine.CurrentCommand;
    const int noLink = rig.Engine.NoLinkTicks, gauge = rig.Host.Gauge;
    const std::size_t texts = rig.Host.Texts.size(), events = rig.Host.Events.size();
    rig.Port.Inject(c.Frame);
    rig.Tick();
    EXPECT_EQ(rig.Engine.NoLinkTicks, noLink + 1);
    EXPECT_EQ(rig.Engine.TransferMode, mode);
    EXPECT_EQ(rig.Engine.CurrentCommand, command);
    EXPECT_EQ(rig.Host.Gauge, gauge);
    EXPECT_EQ(rig.Host.Texts.size(), texts);
    EXPECT_EQ(rig.Host.Events.size(), events);
    EXPECT_EQ(rig.Host.MonitorFrames, 0);
    EXPECT_EQ(std::memcmp(&image, &rig.Image, ImageSize), 0);
    EXPECT_TRUE(rig.Port.Waiting.empty()) << "read and discarded";
  }
}

TEST(LinkEngineReceive, OneFramePerTickAndOnlyWhenAllOfItWaits) {
  TRig rig;
  rig.Port.Unplugged = true;
  TLinkFrame a, b;
  rig.Unit.BuildMonitorFrame(a);
  rig.Unit.Advance(5.0);
  rig.Unit.BuildMonitorFrame(b);
  ASSERT_NE(std::memcmp(a.data(), b.data(), FrameSize), 0);
  std::vector<std::uint8_t> two(a.begin(), a.end());
  two.insert(two.end(), b.begin(), b.end());
  rig.Port.Inject(two); // 104 bytes
  rig.Tick();
  EXPECT_EQ(rig.Host.MonitorFrames, 1);
  EXPECT_EQ(std::memcmp(rig.Engine.MonitorFrame.data(), a.data(), MonitorFrameSize), 0);
  EXPECT_TRUE(rig.Port.Waiting.empty());
  rig.Tick();
  EXPECT_EQ(rig.Host.MonitorFrames, 1);

  rig.Port.Inject({b.begin(), b.begin() + 51});
  rig.Ticks(3);
  EXPECT_EQ(rig.Host.MonitorFrames, 1);
  EXPECT_EQ(rig.Port.Waiting.size(), 51u) << "left in the queue";
  rig.Port.Inject({b.begin() + 51, b.end()});
  rig.Tick();
  EXPECT_EQ(rig.Host.MonitorFrames, 2);
  EXPECT_EQ(std::memcmp(rig.Engine.MonitorFrame.data(), b.data(), MonitorFrameSize), 0);
  EXPECT_EQ(rig.Engine.NoLinkTicks, 1);

  // A reply split across two ticks is taken whole on the second.
  rig.Port.Unplugged = false;
  rig.Unit.SetBlock1(rig.Image.Block(1));
  const int first = rig.Engine.SendTicks >= 3 ? 1 : ResendTicks - rig.Engine.SendTicks;
  rig.Engine.StartVerify();
  rig.Port.SplitAt = 20;
  EXPECT_EQ(rig.TickUntilText("Verify: OK", 10), first + 2);
  EXPECT_EQ(rig.Port.BlockFrames().size(), 1u);
}

TEST(LinkEngineTiming, LateOrLostRepliesAndTheTimeOut) {
  struct {
    int Delay, Drop, Sends;
  } const cases[] = {{0, 0, 1}, {1, 0, 1}, {2, 0, 1}, {3, 0, 1},
                     {4, 0, 2}, {0, 1, 2}, {0, 4, 5}, {0, 5, 5}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.Delay) + " late, " + std::to_string(c.Drop) + " lost");
    TRig rig;
    rig.Unit.SetBlock1(rig.Image.Block(1));
    rig.Port.DelayTicks = c.Delay;
    rig.Port.DropNext = c.Drop;
    rig.Engine.StartVerify();
    rig.TickUntil([&] { return rig.Engine.TransferMode == tmIdle; }, 40);
    EXPECT_EQ(rig.Host.StatusText, c.Drop >= 5 ? "Verify error!" : "Verify: OK");
    EXPECT_EQ(rig.Port.BlockFrames().size(), static_cast<std::size_t>(c.Sends));
  }
}

// Only a store seen through to its end is a programming done: a unit that falls silent
// while it stores, or whose line hangs up, fails the programming even when it answers
// again with its countdown at 0.
TEST(LinkEngineTransfer, ProgrammingOkOnlyAfterTheStoreWasSeenToItsEnd) {
  for (const bool hangUp : {false, true}) {
    SCOPED_TRACE(hangUp ? "hang-up" : "silence");
    TRig rig;
    rig.Engine.StartProgram();
    ASSERT_GT(rig.TickUntilText("Verify: OK", 10), 0);
    EXPECT_EQ(rig.Engine.Phase(), TLinkPhase::Storing);
    ASSERT_GT(rig.TickUntilText("Saving:", 20), 0);
    if (hangUp)
      rig.Port.Open = false; // as the reopen after a hang-up leaves it
    else
      rig.Port.Unplugged = true;
    const int failed = rig.TickUntilText("Program error!", 30);
    ASSERT_GT(failed, 0);
    EXPECT_EQ(failed, hangUp ? 1 : NoLinkLimitTicks) << "with the connection indicator";
    EXPECT_EQ(rig.Host.StatusColour, TColour::Red);
    EXPECT_EQ(rig.Engine.Phase(), TLinkPhase::Idle);
    EXPECT_EQ(rig.Engine.LastOutcome().Pass, TPass::Store);
    EXPECT_EQ(rig.Engine.LastOutcome().Result, hangUp ? TPassResult::HungUp : TPassResult::NoReply);
    // The unit back, its storing over: no "OK", no restore point of the programming.
    rig.Port.Open = true;
    rig.Port.Unplugged = false;
    rig.Ticks(100);
    EXPECT_EQ(std::count(rig.Host.Texts.begin(), rig.Host.Texts.end(), "Programing: OK"), 0);
    EXPECT_EQ(rig.Host.StatusText, "Program error!");
    EXPECT_TRUE(rig.Host.Stored.empty());
    EXPECT_EQ(rig.Host.Outcomes.size(), 2u);
  }
}

// What the unit holds after a pass that succeeded is handed over once, as it arrived.
TEST(LinkEngineRestorePoints, ASuccessfulReadOrProgrammingIsStoredOnceAFailedOneNever) {
  {
    TRig rig;
    rig.Engine.StartRead();
    ASSERT_GT(rig.TickUntilText("Verify: OK", 10), 0);
    ASSERT_EQ(rig.Host.Stored.size(), 1u);
    EXPECT_EQ(rig.Host.Stored[0].Kind, TRestoreKind::Read);
    EXPECT_EQ(std::memcmp(rig.Host.Stored[0].Unit.Block(0), rig.Unit.Block(0), BlockSize), 0);
    EXPECT_EQ(std::memcmp(rig.Host.Stored[0].Unit.Block(1), rig.Unit.Block(1), BlockSize), 0);
    rig.Engine.StartVerify();
    ASSERT_GT(rig.TickUntilText("Verify: OK", 10), 0);
    rig.Ticks(10);
    EXPECT_EQ(rig.Host.Stored.size(), 1u) << "a Verify keeps nothing new";
  }
  {
    TRig rig;
    const TIgnParams programmed = rig.Image.Params;
    rig.Engine.StartProgramming();
    ASSERT_GT(rig.TickUntilText("Verify: OK", 10), 0);
    EXPECT_TRUE(rig.Host.Stored.empty()) << "not before the unit has stored it";
    ASSERT_GT(rig.TickUntilText("Programing: OK", 100), 0);
    ASSERT_EQ(rig.Host.Stored.size(), 1u);
    EXPECT_EQ(rig.Host.Stored[0].Kind, TRestoreKind::Programmed);
    EXPECT_EQ(std::memcmp(&rig.Host.Stored[0].Unit.Params, &programmed, BlockSize), 0);
    EXPECT_EQ(std::memcmp(rig.Host.Stored[0].Unit.Block(0), rig.Unit.Block(0), BlockSize), 0);
  }
  struct {
    const char* Name;
    TSimOptions Options;
    void (TLinkEngine::*Start)();
    const char* Error;
  } const failures[] = {
      {"silent read", Silent(), &TLinkEngine::StartRead, "Read error!"},
      {"silent program", Silent(), &TLinkEngine::StartProgram, "Program error!"},
      {"bad verify", Faulty(&TSimOptions::BadVerify), &TLinkEngine::StartRead, "Verify error!"},
      {"bad echo", Faulty(&TSimOptions::BadEcho), &TLinkEngine::StartProgram, "Program error!"}};
  for (const auto& f : failures) {
    SCOPED_TRACE(f.Name);
    TRig rig(f.Options);
    (rig.Engine.*f.Start)();
    ASSERT_GT(rig.TickUntilText(f.Error, 60), 0);
    rig.Ticks(10);
    EXPECT_TRUE(rig.Host.Stored.empty());
  }
}

// With the back-up option the unit's copy is read as a Read reads, stored, and only then is
// block 1 written; the record, the screen and the identity see only the programming pass.
TEST(LinkEngineBackUp, ReadsTheUnitIntoACopyStoresItThenProgramsUnchanged) {
  struct {
    const char* Name;
    void (TLinkEngine::*Start)();
    const char* Programming;
  } const entries[] = {{"Program command", &TLinkEngine::StartProgram, "Programing:"},
                       {"program after change", &TLinkEngine::StartProgramming, "Programing"}};
  for (const auto& e : entries) {
    SCOPED_TRACE(e.Name);
    TRig rig;
    rig.Engine.BackUpBeforeProgramming = true;
    rig.Host.FramesSentBefore = [&] { return static_cast<int>(rig.Port.BlockFrames().size()); };
    const TDeviceImage before = rig.Image;
    const TDeviceImage unitBefore = [&] {
      TDeviceImage u{};
      std::memcpy(u.Block(0), rig.Unit.Block(0), BlockSize);
      std::memcpy(u.Block(1), rig.Unit.Block(1), BlockSize);
      return u;
    }();
    rig.Ticks(5); // SendTicks 5: the very next tick sends
    (rig.Engine.*e.Start)();
    EXPECT_EQ(rig.Host.StatusText, "Read:");
    EXPECT_EQ(rig.Engine.TransferMode, tmRead);
    // Both read replies taken: nothing of the window has moved yet.
    ASSERT_GT(rig.TickUntil([&] { return rig.Port.BlockFrames().size() == 3; }, 10), 0);
    EXPECT_EQ(std::memcmp(&rig.Image, &before, ImageSize), 0);
    EXPECT_TRUE(rig.Host.Events.empty());
    EXPECT_EQ(rig.Host.ParamsShown, 0);

    ASSERT_GT(rig.TickUntil([&] { return rig.Engine.TransferMode == tmIdle; }, 10), 0);
    EXPECT_EQ(rig.Host.StatusText, "Verify: OK");
    const std::vector<TSentFrame> sent = rig.Port.BlockFrames();
    ASSERT_EQ(sent.size(), 5u);
    const std::uint8_t commands[] = {0x40, 0x41, 0x00, 0x01, 0x41};
    const std::uint8_t zero[PayloadSize] = {};
    for (int i = 0; i < 5; ++i) {
      EXPECT_EQ(sent[i].Bytes[0], commands[i]) << i;
      EXPECT_EQ(sent[i].Tick, 6 + i) << "one tick per reply";
    }
    EXPECT_EQ(std::memcmp(sent[0].Bytes.data() + 1, zero, PayloadSize), 0);
    EXPECT_EQ(std::memcmp(sent[1].Bytes.data() + 1, zero, PayloadSize), 0);
    EXPECT_EQ(std::memcmp(sent[2].Bytes.data() + 1, before.Block(0), PayloadSize), 0);
    EXPECT_EQ(std::memcmp(sent[3].Bytes.data() + 1, &before.Params, PayloadSize), 0);
    EXPECT_EQ(std::memcmp(sent[4].Bytes.data() + 1, &before.Params, PayloadSize), 0);

    ASSERT_EQ(rig.Host.Stored.size(), 1u);
    EXPECT_EQ(rig.Host.Stored[0].Kind, TRestoreKind::Read);
    EXPECT_EQ(std::memcmp(&rig.Host.Stored[0].Unit, &unitBefore, ImageSize), 0);
    EXPECT_EQ(rig.Host.Stored[0].FramesSent, 2) << "kept before anything is written";
    // The programming pass itself, exactly as without the option.
    EXPECT_EQ(rig.Host.Events, (std::vector<std::string>{"Decode", "Normalise", "ParamsToScreen"}));
    EXPECT_EQ(rig.Host.ParamsShown, 1);
    EXPECT_EQ(rig.Host.Texts,
              (std::vector<std::string>{"Read:", e.Programming, "Verify:", "Verify: OK"}));
    EXPECT_EQ(rig.Host.Gauges, (std::vector<int>{0, 1, 0, 1, 0, 3}));
    EXPECT_TRUE(rig.Engine.TransferDone);
    ASSERT_GT(rig.TickUntilText("Programing: OK", 100), 0);
    ASSERT_EQ(rig.Host.Stored.size(), 2u);
    EXPECT_EQ(rig.Host.Stored[1].Kind, TRestoreKind::Programmed);
    EXPECT_EQ(std::memcmp(&rig.Host.Stored[1].Unit.Params, &before.Params, BlockSize), 0);
  }
}

// A unit that does not answer the read, or answers from another version, is not programmed.
TEST(LinkEngineBackUp, AReadThatFailsProgramsNothing) {
  {
    TRig rig(Silent());
    rig.Engine.BackUpBeforeProgramming = true;
    const TDeviceImage before = rig.Image;
    rig.Engine.StartProgram();
    ASSERT_GT(rig.TickUntilText("Read error!", 60), 0);
    EXPECT_EQ(rig.Host.StatusColour, TColour::Red);
    EXPECT_EQ(rig.Engine.TransferMode, tmIdle);
    const std::vector<TSentFrame> sent = rig.Port.BlockFrames();
    ASSERT_EQ(sent.size(), static_cast<std::size_t>(MaxSends));
    for (const TSentFrame& f : sent) EXPECT_EQ(f.Bytes[0], 0x40);
    rig.Ticks(50);
    EXPECT_EQ(rig.Port.BlockFrames().size(), sent.size());
    EXPECT_EQ(std::memcmp(&rig.Image, &before, ImageSize), 0);
    EXPECT_TRUE(rig.Host.Stored.empty());
    EXPECT_TRUE(rig.Host.Events.empty());
  }
  {
    // Block 0 answers, block 1 never does.
    TRig rig;
    rig.Engine.BackUpBeforeProgramming = true;
    rig.Port.Mutate = [](std::vector<std::uint8_t>& reply) {
      if (reply[0] == 0xC1) reply.clear();
    };
    rig.Engine.StartProgram();
    ASSERT_GT(rig.TickUntilText("Read error!", 60), 0);
    for (const TSentFrame& f : rig.Port.BlockFrames()) EXPECT_NE(f.Bytes[0] & ReadFlag, 0);
    EXPECT_TRUE(rig.Host.Stored.empty());
  }
  {
    TSimOptions older;
    older.LayoutVersion = 66;
    TRig rig(older);
    rig.Engine.BackUpBeforeProgramming = true;
    const TDeviceImage before = rig.Image;
    rig.Engine.StartProgram();
    ASSERT_GT(rig.TickUntil([&] { return !rig.Host.Modals.empty(); }, 10), 0);
    EXPECT_EQ(rig.Host.Modals[0], "Unmatched version of PC and Ignition programs!  PC-67, IGN-66");
    rig.Ticks(30);
    ASSERT_EQ(rig.Port.BlockFrames().size(), 1u);
    EXPECT_EQ(std::memcmp(&rig.Image, &before, ImageSize), 0);
    EXPECT_EQ(rig.Host.Events, std::vector<std::string>{"Modal"}) << "no decode, no refresh";
  }
}

// A back-up that was read but could not be kept (a full or read-only folder) stops the
// programming before anything is written to the unit.
TEST(LinkEngineBackUp, ABackUpThatCannotBeKeptProgramsNothing) {
  TRig rig;
  rig.Engine.BackUpBeforeProgramming = true;
  rig.Host.BackUpFails = true;
  const TDeviceImage before = rig.Image;
  const TIgnParams unitBefore = rig.Unit.Params();
  rig.Engine.StartProgram();
  ASSERT_GT(rig.TickUntil([&] { return rig.Engine.Phase() == TLinkPhase::Idle; }, 20), 0);
  rig.Ticks(60);
  const std::vector<TSentFrame> sent = rig.Port.BlockFrames();
  ASSERT_EQ(sent.size(), 2u);
  EXPECT_EQ(sent[0].Bytes[0], 0x40);
  EXPECT_EQ(sent[1].Bytes[0], 0x41);
  EXPECT_EQ(rig.Host.StatusColour, TColour::Red);
  EXPECT_FALSE(rig.Engine.TransferDone);
  ASSERT_EQ(rig.Host.Outcomes.size(), 1u);
  EXPECT_EQ(rig.Host.Outcomes[0].Pass, TPass::BackUp);
  EXPECT_EQ(rig.Host.Outcomes[0].Result, TPassResult::BackUpNotKept);
  EXPECT_FALSE(rig.Host.Seen("Programing:"));
  EXPECT_TRUE(rig.Host.Stored.empty());
  EXPECT_EQ(std::memcmp(&rig.Image, &before, ImageSize), 0);
  EXPECT_EQ(std::memcmp(&rig.Unit.Params(), &unitBefore, BlockSize), 0);
  EXPECT_EQ(rig.Unit.ProgrammingCount(), 0);
}

// The last reply that failed the comparison is offered when the pass fails on it, and
// withdrawn when the next pass starts; a pass that fails for silence offers nothing.
TEST(LinkEngineDifference, TheLastRejectedReplyIsOfferedWithTheRecordItFailed) {
  struct {
    const char* Name;
    TSimOptions Options;
    void (TLinkEngine::*Start)();
    const char* Error;
  } const cases[] = {
      {"verify of a programming", Faulty(&TSimOptions::BadVerify), &TLinkEngine::StartProgram,
       "Verify error!"},
      {"echo", Faulty(&TSimOptions::BadEcho), &TLinkEngine::StartProgram, "Program error!"},
      {"verify of a read", Faulty(&TSimOptions::BadVerify), &TLinkEngine::StartRead,
       "Verify error!"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TRig rig(c.Options);
    (rig.Engine.*c.Start)();
    rig.TickUntil([&] { return rig.Engine.RetryCount == MaxSends; }, 60);
    EXPECT_FALSE(rig.Host.Offered) << "not before the pass fails";
    ASSERT_GT(rig.TickUntilText(c.Error, 60), 0);
    ASSERT_TRUE(rig.Host.Offered);
    const auto& [pc, unit] = *rig.Host.Offered;
    EXPECT_EQ(std::memcmp(&pc, &rig.Image.Params, BlockSize), 0);
    TIgnParams reply = rig.Image.Params;
    reply.Advance[0] ^= 0x01; // the one byte the simulated unit changes
    EXPECT_EQ(std::memcmp(&unit, &reply, BlockSize), 0);
    rig.Ticks(20);
    EXPECT_TRUE(rig.Host.Offered) << "stands after the label";
    rig.Engine.StartVerify();
    EXPECT_FALSE(rig.Host.Offered);
  }
  {
    TRig rig(Silent());
    rig.Engine.StartVerify();
    ASSERT_GT(rig.TickUntilText("Verify error!", 60), 0);
    EXPECT_FALSE(rig.Host.Offered);
  }
  {
    // Rejected twice, then taken: the pass that follows fails for silence alone.
    TRig rig(Faulty(&TSimOptions::BadEcho));
    int echoes = 0;
    rig.Port.Mutate = [&](std::vector<std::uint8_t>& reply) {
      if (reply[0] == 0x81 && ++echoes == 3) reply[1 + 35] ^= 0x01; // undo the fault
      if (reply[0] == 0xC1) reply.clear();
      if (reply.size() == FrameSize) reply[51] = FrameCheckByte(reply.data());
    };
    rig.Engine.StartProgram();
    ASSERT_GT(rig.TickUntilText("Verify error!", 60), 0);
    EXPECT_EQ(echoes, 3);
    EXPECT_FALSE(rig.Host.Offered);
  }
}

// A simulated unit behind its line; each tick of the link delivers the replies due and
// moves the unit's engine on by one tick.
struct TSimLine {
  explicit TSimLine(const TSimOptions& options = {}) : Unit(options) {}
  std::function<void()> Tick() {
    return [this] {
      ++Now;
      Port.Deliver();
      Unit.Advance(TickMs / 1000.0);
    };
  }
  TSimUnit Unit;
  int Now = 0;
  TSimPort Port{Unit, Now};
};

// The command-line tool's passes: the same engine at the same ticks, run to their end by a
// plain loop, and how each ended.
TEST(HeadlessLink, PassesTakeTheWindowsTicksAndTellHowTheyEnded) {
  struct {
    const char* Name;
    TSimOptions Unit;
    TPassResult (THeadlessLink::*Pass)();
    TPassResult Outcome;
    long Ticks;     // from the command to the end of the pass
    int BlockSends; // block frames sent
  } const cases[] = {
      // A fresh engine sends on the 4th tick; each reply is handled on the next tick, and
      // the frame it sends there counts as one tick old at the end of that tick.
      {"read", {}, &THeadlessLink::Read, TPassResult::Ok, 4 + 3, 3},
      {"verify", {}, &THeadlessLink::Verify, TPassResult::Ok, 4 + 1, 1},
      {"program", {}, &THeadlessLink::Program, TPassResult::Ok, 4 + 3, 3},
      {"identity", {}, &THeadlessLink::ReadIdentity, TPassResult::Ok, 4 + 1, 2},
      // Five sends 4 ticks apart, then the failure 4 ticks after the last.
      {"read, silent", Silent(), &THeadlessLink::Read, TPassResult::NoReply, 4 + 4 * 5, 5},
      {"program, silent", Silent(), &THeadlessLink::Program, TPassResult::NoReply, 24, 5},
      {"identity, silent", Silent(), &THeadlessLink::ReadIdentity, TPassResult::NoReply, 24, 5},
      {"read, version 66", Version66(), &THeadlessLink::Read, TPassResult::OtherVersion, 5, 1},
      {"identity, version 66", Version66(), &THeadlessLink::ReadIdentity, TPassResult::OtherVersion,
       5, 1},
      {"program, bad echo", BadEcho(), &THeadlessLink::Program, TPassResult::Differs, 4 + 4 * 5, 6},
      {"verify, bad copy", BadVerify(), &THeadlessLink::Verify, TPassResult::Differs, 4 + 4 * 5, 5},
      // A read whose verify pass gets another copy: what was read stays, the pass differs.
      {"read, bad copy", BadVerify(), &THeadlessLink::Read, TPassResult::Differs, 5 + 4 * 5, 7},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TSimLine line(c.Unit);
    TSimUnit& unit = line.Unit;
    TSimPort& port = line.Port;
    THeadlessLink link(port, line.Tick());
    // The unit holds the record of a fresh link, but for one byte the file does not carry.
    TIgnParams held = link.Image.Params;
    held.Reserved19 = 7;
    unit.SetBlock1(reinterpret_cast<const std::uint8_t*>(&held));
    link.Image.Params.Reserved19 = 7;
    EXPECT_EQ((link.*c.Pass)(), c.Outcome);
    EXPECT_EQ(link.PassTicks, c.Ticks);
    EXPECT_EQ(static_cast<int>(port.BlockFrames().size()), c.BlockSends);
    if (c.Pass != &THeadlessLink::Verify && c.Outcome != TPassResult::NoReply) {
      EXPECT_TRUE(link.Host.IdentityDecoded);
      EXPECT_EQ(link.Host.Identity.UnitVersionText, "VNT12");
    }
    if (c.Outcome == TPassResult::OtherVersion) {
      EXPECT_EQ(link.Host.ModalText,
                "Unmatched version of PC and Ignition programs!  PC-67, IGN-66");
    }
    if (c.Pass == &THeadlessLink::Read && c.Outcome != TPassResult::OtherVersion) {
      EXPECT_EQ(std::memcmp(&link.Image.Params, &held, BlockSize), 0);
    }
  }
}

TEST(HeadlessLink, ProgrammingWaitsUntilTheUnitHasStoredAndMonitorStopsWhenItFallsSilent) {
  TSimLine line;
  TSimUnit& unit = line.Unit;
  TSimPort& port = line.Port;
  THeadlessLink link(port, line.Tick());
  link.Image.Params.BaseAdv = 14;
  ASSERT_EQ(link.Program(), TPassResult::Ok);
  std::vector<std::uint16_t> countdowns;
  link.Host.OnMonitorFrame = [&](const TMonitorView& view) {
    countdowns.push_back(view.SaveCountdown);
  };
  ASSERT_EQ(link.WaitStored(), TPassResult::Ok);
  EXPECT_EQ(link.Host.StatusText, "Programing: OK");
  ASSERT_GE(countdowns.size(), 2u);
  EXPECT_GT(countdowns.front(), 0);
  EXPECT_EQ(countdowns.back(), 0);
  // About the unit's 3 s of storing, in monitor requests every 6 ticks.
  EXPECT_NEAR(link.PassTicks, TSimUnit::StoreSeconds * 1000 / TickMs, 2 * MonitorTicks);
  EXPECT_EQ(unit.Params().BaseAdv, 14);

  int frames = 0;
  link.Host.OnMonitorFrame = [&](const TMonitorView&) { ++frames; };
  EXPECT_TRUE(link.Watch([&] { return frames == 3; }));
  EXPECT_EQ(link.PassTicks, 3 * MonitorTicks);
  port.Unplugged = true;
  EXPECT_FALSE(link.Watch([] { return false; }));
  EXPECT_EQ(link.PassTicks, NoLinkLimitTicks);

  // A unit that stops answering while it stores.
  ASSERT_EQ((port.Unplugged = false, link.Program()), TPassResult::Ok);
  port.Unplugged = true;
  EXPECT_EQ(link.WaitStored(), TPassResult::NoReply);
}
