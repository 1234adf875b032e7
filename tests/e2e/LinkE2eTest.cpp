// The real tick engine and the real serial port against vantel-sim on a pseudo-terminal.
#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>

#include "link/PortReopen.h"
#include "link/PosixSerialPort.h"
#include "model/Defaults.h"
#include "support/RealTicks.h"
#include "support/RecordingHost.h"
#include "support/SimProcess.h"
#include "support/TempHome.h"

namespace {

class LinkEndToEnd : public ::testing::Test {
protected:
  LinkEndToEnd() {
    LoadDefaultParams(Image.Params);
    Host.NormaliseParams();
  }
  // Starts the simulator with these options and opens its line.
  void Connect(const std::vector<std::string>& options) {
    std::string error;
    ASSERT_TRUE(Sim.Start(TSimProcess::Program(), options, error)) << error;
    TFailureReport failure;
    ASSERT_TRUE(Serial.Open(Sim.Path, failure)) << DescribeFailure(failure, LangEnglish);
    Engine.SetPort(&Port);
  }
  // Runs a command to its end: the transfer idle again, or a version box.
  void Run(void (TLinkEngine::*start)(), int limit = 40) {
    (Engine.*start)();
    const int ticks = Ticker.TickUntil(
        [&] { return Engine.TransferMode == tmIdle || !Host.Modals.empty(); }, limit);
    ASSERT_GT(ticks, 0) << "still running after " << limit << " ticks";
  }

  TTempHome Home;
  TSimProcess Sim;
  TPosixSerialPort Serial;
  TCountingPort Port{Serial};
  TDeviceImage Image{};
  TRecordingHost Host{Image};
  TLinkEngine Engine{Image, Host};
  TRealTicker Ticker{Engine};
};

double CpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + t.tv_nsec * 1e-9;
}

} // namespace

TEST_F(LinkEndToEnd, ReadVerifyAndProgramAHealthyUnitWithoutResends) {
  Connect({});
  Run(&TLinkEngine::StartRead);
  EXPECT_EQ(Host.StatusText, "Verify: OK");
  EXPECT_EQ(Port.BlockWrites, 3);
  EXPECT_EQ(Image.Block0[10], ProgramVersion);

  Run(&TLinkEngine::StartVerify);
  EXPECT_EQ(Host.StatusText, "Verify: OK");
  EXPECT_EQ(Port.BlockWrites, 4);

  Image.Params.BaseAdv = static_cast<std::uint8_t>(Image.Params.BaseAdv == 12 ? 13 : 12);
  Host.Texts.clear();
  Run(&TLinkEngine::StartProgram);
  EXPECT_EQ(Port.BlockWrites, 7);
  EXPECT_EQ(Engine.LastOutcome().Pass, TPass::Program);
  EXPECT_EQ(Engine.Phase(), TLinkPhase::Storing);
  // The unit stores for about 3 s and reports its countdown in the monitor replies.
  EXPECT_GT(Ticker.TickUntil([&] { return Host.Seen("Saving:"); }, 20), 0);
  EXPECT_GT(Ticker.TickUntil([&] { return Host.StatusText == "Programing: OK"; }, 120), 0);
  EXPECT_EQ(Host.Gauge, GaugeMax);
  ASSERT_GE(Host.Texts.size(), 3u);
  EXPECT_EQ(Host.Texts[0], "Programing:");
  EXPECT_TRUE(Host.Seen("Verify: OK"));
  EXPECT_EQ(Host.Texts.back(), "Programing: OK");
  EXPECT_EQ(Host.Texts[Host.Texts.size() - 2], "Saving:");
  EXPECT_FALSE(Host.ConnectionVisible);

  Run(&TLinkEngine::StartVerify); // the unit holds what was programmed
  EXPECT_EQ(Host.StatusText, "Verify: OK");
  EXPECT_EQ(Port.BlockWrites, 8);
}

TEST_F(LinkEndToEnd, FaultsOfTheUnitEndInTheirTexts) {
  struct {
    std::vector<std::string> Options;
    void (TLinkEngine::*Start)();
    const char* Text;
  } const cases[] = {
      {{"--silent"}, &TLinkEngine::StartRead, "Read error!"},
      {{"--silent"}, &TLinkEngine::StartVerify, "Verify error!"},
      {{"--silent"}, &TLinkEngine::StartProgram, "Program error!"},
      {{"--corrupt", "100"}, &TLinkEngine::StartRead, "Read error!"},
      {{"--stray", "3"}, &TLinkEngine::StartVerify, "Verify error!"},
      {{"--bad-echo"}, &TLinkEngine::StartProgram, "Program error!"},
      {{"--bad-verify"}, &TLinkEngine::StartVerify, "Verify error!"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Options[0] + " " + c.Text);
    Host.Texts.clear();
    Connect(c.Options);
    Run(c.Start);
    EXPECT_EQ(Host.StatusText, c.Text);
    EXPECT_EQ(Host.StatusColour, TColour::Red);
    EXPECT_NE(Engine.LastOutcome().Result, TPassResult::Ok);
    Serial.Close();
    Sim.Stop();
  }
}

// The unit stores the block it echoed wrongly, or whose copy fails the verify, for about
// 3 s: its countdown must not replace the red failure text.
TEST_F(LinkEndToEnd, AFailedProgrammingPassStaysRedWhileTheUnitStores) {
  const std::pair<const char*, const char*> cases[] = {{"--bad-echo", "Program error!"},
                                                       {"--bad-verify", "Verify error!"}};
  for (const auto& [option, error] : cases) {
    SCOPED_TRACE(option);
    Host.Texts.clear();
    Connect({option});
    Run(&TLinkEngine::StartProgram, 60);
    EXPECT_EQ(Host.StatusText, error);
    bool storing = false;
    for (int i = 0; i < 80; ++i) {
      Ticker.Tick();
      storing |= Engine.SaveCountdown > 0;
      ASSERT_EQ(Host.StatusText, error) << i;
      ASSERT_EQ(Host.StatusColour, TColour::Red) << i;
      ASSERT_TRUE(Host.StatusVisible) << i;
    }
    EXPECT_TRUE(storing);
    EXPECT_EQ(Engine.SaveCountdown, 0) << "stored by now";
    Serial.Close();
    Sim.Stop();
  }
}

// The unit stops reading until the transmit queue is full, then reads again. It takes
// every 52 bytes as a frame: only if each frame reached it whole do the polling and the
// transfers go on.
// The unit hangs up a third into its storing and is back half a second later, as the
// reopen after a replug brings it: the programming has failed, never "Programing: OK",
// and the unit indeed holds its old parameters.
TEST_F(LinkEndToEnd, AHangUpWhileStoringFailsTheProgramming) {
  const std::string link = Home.File("com1");
  std::string error;
  ASSERT_TRUE(Sim.Start(TSimProcess::Program(), {"--hang-up-storing", "--link", link}, error))
      << error;
  TFailureReport failure;
  ASSERT_TRUE(Serial.Open(link, failure)) << DescribeFailure(failure, LangEnglish);
  Engine.SetPort(&Port);
  TPortReopen reopen(Serial);
  Ticker.BeforeTick = [&] { reopen.Tick(); };
  Image.Params.BaseAdv = 13;
  Run(&TLinkEngine::StartProgram);
  ASSERT_EQ(Host.StatusText, "Verify: OK");
  ASSERT_GT(Ticker.TickUntil([&] { return Host.StatusText == "Program error!"; }, 80), 0);
  EXPECT_TRUE(Host.Seen("Saving:"));
  EXPECT_EQ(Host.StatusColour, TColour::Red);
  EXPECT_EQ(Engine.LastOutcome().Pass, TPass::Store);
  EXPECT_EQ(Engine.LastOutcome().Result, TPassResult::HungUp);
  const int frames = Host.MonitorFrames;
  ASSERT_GT(Ticker.TickUntil([&] { return Host.MonitorFrames > frames + 3; }, 120), 0)
      << "the line is back";
  EXPECT_FALSE(Host.Seen("Programing: OK"));
  EXPECT_EQ(Host.StatusText, "Program error!");
  EXPECT_TRUE(Host.Stored.empty());
  Image.Params.BaseAdv = 13;
  Run(&TLinkEngine::StartVerify);
  EXPECT_EQ(Host.StatusText, "Verify error!");
}

TEST_F(LinkEndToEnd, AStalledUnitThatReadsAgainGetsWholeFrames) {
  Connect({"--strict-framing"});
  Run(&TLinkEngine::StartRead);
  ASSERT_EQ(Host.StatusText, "Verify: OK");
  ASSERT_GT(Ticker.TickUntil([&] { return Host.MonitorFrames > 0; }, 20), 0);
  Sim.Pause();
  TLinkFrame request;
  BuildMonitorRequest(request);
  int queued = 0;
  while (queued < 100000 && Serial.Write(request.data(), FrameSize)) ++queued;
  ASSERT_LT(queued, 100000) << "the queue never filled";
  ASSERT_GT(Ticker.TickUntil([&] { return Host.ConnectionVisible; }, 18 + 6), 0);

  Sim.Resume();
  ASSERT_GT(Ticker.TickUntil([&] { return !Host.ConnectionVisible; }, 40), 0);
  const int frames = Host.MonitorFrames;
  for (int i = 0; i < 40; ++i) {
    Ticker.Tick();
    EXPECT_FALSE(Host.ConnectionVisible) << i;
  }
  EXPECT_GE(Host.MonitorFrames - frames, 40 / MonitorTicks - 1);
  Run(&TLinkEngine::StartVerify);
  EXPECT_EQ(Host.StatusText, "Verify: OK");
}

TEST_F(LinkEndToEnd, UnitOfAnotherVersionShowsTheVersionBox) {
  Connect({"--layout-version", "66"});
  Run(&TLinkEngine::StartRead);
  EXPECT_EQ(Host.Modals, (std::vector<std::string>{
                             "Unmatched version of PC and Ignition programs!  PC-67, IGN-66"}));
  EXPECT_EQ(Engine.TransferMode, tmIdle);
  EXPECT_EQ(Port.BlockWrites, 1);
  EXPECT_FALSE(Host.StatusVisible);
}

TEST_F(LinkEndToEnd, HalfTheRepliesLostStillProgramsWithResends) {
  Connect({"--drop", "50", "--seed", "7"});
  Run(&TLinkEngine::StartProgram, 80);
  EXPECT_TRUE(Host.Seen("Verify: OK"));
  EXPECT_EQ(Engine.LastOutcome().Pass, TPass::Program);
  EXPECT_EQ(Engine.Phase(), TLinkPhase::Storing);
  EXPECT_GT(Port.BlockWrites, 3);
}

TEST_F(LinkEndToEnd, UnpluggedUnitShowsTheIndicatorAndTheProgramStaysIdle) {
  Connect({"--unplug-after", "1"});
  // Polls once the line hangs up; until then the monitor replies keep the indicator off.
  const int hungUp = Ticker.TickUntil([&] { return Serial.HungUp(); }, 60);
  ASSERT_GT(hungUp, 0);
  EXPECT_GT(Host.MonitorFrames, 0);
  EXPECT_FALSE(Host.ConnectionVisible);
  EXPECT_GT(Ticker.TickUntil([&] { return Host.ConnectionVisible; }, 18), 0);

  const double cpuStart = CpuSeconds();
  const auto wallStart = std::chrono::steady_clock::now();
  for (int i = 0; i < 36; ++i) {
    Ticker.Tick();
    EXPECT_TRUE(Host.ConnectionVisible);
  }
  const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - wallStart;
  EXPECT_LT((CpuSeconds() - cpuStart) / wall.count(), 0.3);
  Run(&TLinkEngine::StartRead);
  EXPECT_EQ(Host.StatusText, "Read error!");
}

TEST_F(LinkEndToEnd, SwitchToAMissingDeviceStopsTheFramesAndShowsTheIndicator) {
  Connect({});
  ASSERT_GT(Ticker.TickUntil([&] { return Host.MonitorFrames > 0; }, 20), 0);
  const int frames = Host.MonitorFrames;
  Serial.Close();
  TFailureReport error;
  const std::string missing = Home.Path() + "/ttyVANTEL-missing";
  EXPECT_FALSE(Serial.Open(missing, error));
  EXPECT_EQ(error.What, TFailure::PortMissing);
  EXPECT_EQ(error.Path, missing);
  EXPECT_GT(Ticker.TickUntil([&] { return Host.ConnectionVisible; }, 18), 0);
  EXPECT_EQ(Host.MonitorFrames, frames);
  Run(&TLinkEngine::StartRead);
  EXPECT_EQ(Host.StatusText, "Read error!");
  EXPECT_EQ(Port.BlockWrites, 0);
}

// A simulator that ends removes its link only while the link still leads to its own line:
// one started later under the same name keeps its link.
TEST(SimulatorLink, AnEndingSimulatorLeavesALinkThatLeadsElsewhere) {
  TTempHome home;
  const std::string link = home.Path() + "/com1";
  TSimProcess first, second;
  std::string error;
  ASSERT_TRUE(first.Start(TSimProcess::Program(), {"--link", link}, error)) << error;
  ASSERT_TRUE(second.Start(TSimProcess::Program(), {"--link", link}, error)) << error;
  char target[256] = {};
  ASSERT_GT(::readlink(link.c_str(), target, sizeof target - 1), 0);
  ASSERT_EQ(second.Path, target);
  first.Stop();
  std::fill(std::begin(target), std::end(target), '\0');
  ASSERT_GT(::readlink(link.c_str(), target, sizeof target - 1), 0) << "the link was removed";
  EXPECT_EQ(second.Path, target);
  second.Stop();
  struct stat info {};
  EXPECT_NE(::lstat(link.c_str(), &info), 0) << "its own link goes with the simulator";
}
