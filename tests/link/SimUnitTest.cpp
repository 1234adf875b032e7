#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstring>
#include <poll.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "SimUnit.h"
#include "link/LinkTestSupport.h"
#include "link/PosixSerialPort.h"
#include "model/Normalise.h"

extern char** environ;

namespace {

TLinkFrame Request(std::uint8_t command, const std::uint8_t* payload = nullptr) {
  TLinkFrame f{};
  f[0] = command;
  if (payload) std::memcpy(f.data() + 1, payload, PayloadSize);
  SealFrame(f);
  return f;
}

std::vector<std::uint8_t> Ask(TSimUnit& unit, const TLinkFrame& request) {
  std::vector<std::uint8_t> reply;
  unit.HandleRequest(request.data(), reply);
  return reply;
}

int DifferingBytes(const std::uint8_t* a, const std::uint8_t* b) {
  int n = 0;
  for (int i = 0; i < PayloadSize; ++i) n += a[i] != b[i];
  return n;
}

unsigned Word(const std::vector<std::uint8_t>& f, int offset) {
  return f[offset] | (f[offset + 1] << 8);
}

} // namespace

TEST(SimUnit, AnswersEveryRequestKind) {
  TSimUnit unit;
  std::uint8_t foreign[PayloadSize];
  for (int i = 0; i < PayloadSize; ++i) foreign[i] = static_cast<std::uint8_t>(i + 1);
  std::uint8_t block1[PayloadSize];
  std::memcpy(block1, unit.Block(1), PayloadSize);
  block1[2] = 12; // base advance

  struct Case {
    TLinkFrame Request;
    std::uint8_t Reply;
    int Block; // payload expected: block of the unit after the request, -1 monitor
  };
  const Case cases[] = {
      {Request(0x30), 0xB0, -1},         {Request(0x40), 0xC0, 0},
      {Request(0x41), 0xC1, 1},          {Request(0x41, unit.Block(1)), 0xC1, 1},
      {Request(0x00, foreign), 0x80, 0}, {Request(0x01, block1), 0x81, 1},
  };
  for (const Case& c : cases) {
    const std::vector<std::uint8_t> reply = Ask(unit, c.Request);
    ASSERT_EQ(reply.size(), 52u) << int(c.Request[0]);
    EXPECT_EQ(reply[0], c.Reply);
    EXPECT_TRUE(FrameCheckOk(reply.data()));
    if (c.Block >= 0)
      EXPECT_EQ(DifferingBytes(reply.data() + 1, unit.Block(c.Block)), 0);
    else
      EXPECT_EQ(reply[50], ProgramVersion);
  }
  EXPECT_EQ(unit.Block(0)[10], ProgramVersion); // its own identity kept
  EXPECT_EQ(DifferingBytes(unit.Block(1), block1), 0);

  TLinkFrame badCheck = Request(0x30);
  badCheck[51] ^= 1;
  for (const TLinkFrame& silent : {badCheck, Request(0x31), Request(0x02), Request(0xB0)})
    EXPECT_TRUE(Ask(unit, silent).empty()) << int(silent[0]);
}

TEST(SimUnit, IdentityAndTuneAreWhatTheProgramExpects) {
  TSimOptions options;
  options.LongName = std::string(40, 'L');
  TSimUnit unit(options);
  const std::uint8_t* id = unit.Block(0);
  EXPECT_EQ(id[5], ('M' + 'a' + 'r') % 256);
  EXPECT_EQ(id[10], 67);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(id + 16), 30), std::string(30, 'L'));
  TIgnParams tune = unit.Params();
  TLanguage language = 0;
  std::uint8_t port = 1;
  NormaliseParams(tune, language, port);
  EXPECT_EQ(std::memcmp(&tune, unit.Block(1), BlockSize), 0);
}

TEST(SimUnit, WritesCountAndStoringCountsDownOverThreeSeconds) {
  TSimUnit unit;
  EXPECT_EQ(Word(Ask(unit, Request(0x30)), 47), 0u);
  for (int write = 1; write <= 2; ++write) {
    ASSERT_FALSE(Ask(unit, Request(0x01, unit.Block(1))).empty());
    std::vector<unsigned> countdown;
    for (int i = 0; i < 8; ++i) {
      const std::vector<std::uint8_t> monitor = Ask(unit, Request(0x30));
      countdown.push_back(Word(monitor, 47));
      EXPECT_EQ(Word(monitor, 5), static_cast<unsigned>(write));
      unit.Advance(0.5);
    }
    EXPECT_EQ(countdown.front(), 53u);
    EXPECT_TRUE(std::is_sorted(countdown.rbegin(), countdown.rend()));
    EXPECT_GT(countdown[3], 0u); // 1.5 s: still storing
    EXPECT_EQ(countdown[6], 0u); // 3 s: stored
  }
}

TEST(SimUnit, RunningEngineSweepsThroughEveryState) {
  TSimUnit unit;
  const TIgnParams& p = unit.Params();
  int lowRpm = 1 << 30, highRpm = 0, lowMv = 1 << 30, highMv = 0, lowAdv = 255, highAdv = 0;
  bool seen[51] = {};
  for (int step = 0; step < 300; ++step) { // 30 s
    unit.Advance(0.1);
    const std::vector<std::uint8_t> f = Ask(unit, Request(0x30));
    ASSERT_EQ(f.size(), 52u);
    ASSERT_TRUE(f[42]);
    lowRpm = std::min<int>(lowRpm, Word(f, 1));
    highRpm = std::max<int>(highRpm, Word(f, 1));
    lowMv = std::min<int>(lowMv, Word(f, 3));
    highMv = std::max<int>(highMv, Word(f, 3));
    lowAdv = std::min<int>(lowAdv, f[31]);
    highAdv = std::max<int>(highAdv, f[31]);
    EXPECT_EQ(f[32], 34);
    for (int i = 29; i <= 43; ++i) seen[i] |= f[i] != 0;
    if (f[36]) {
      EXPECT_GE(Word(f, 1), p.Omez2 * 100u);
    }
    if (f[39]) {
      EXPECT_GE(Word(f, 1), p.LedRazeni * 100u);
    }
  }
  EXPECT_LE(lowRpm, 1300);
  EXPECT_EQ(highRpm, p.Omez2 * 100);
  EXPECT_LE(lowMv, 11000);
  EXPECT_GE(highMv, 14999);
  EXPECT_GE(lowAdv, 100 + 10 - p.Retard);
  EXPECT_LE(highAdv, 100 + 34);
  // inputs, start limiter, limiter, shift light, retard (this tune has no kill switch)
  for (int offset : {29, 30, 34, 35, 36, 39, 40}) EXPECT_TRUE(seen[offset]) << offset;
  EXPECT_FALSE(seen[38]);

  TSimOptions stopped;
  stopped.Stopped = true;
  TSimUnit still(stopped);
  still.Advance(5);
  const std::vector<std::uint8_t> f = Ask(still, Request(0x30));
  EXPECT_EQ(Word(f, 1), 0u);
  EXPECT_EQ(f[42], 0);
}

TEST(SimUnit, Faults) {
  const std::uint8_t* zero = nullptr;
  TSimOptions silent, drop, corrupt, stray, version, echo, verify;
  silent.Silent = true;
  drop.DropPercent = 100;
  corrupt.CorruptPercent = 100;
  stray.Stray = 3;
  version.LayoutVersion = 66;
  echo.BadEcho = true;
  verify.BadVerify = true;

  for (TSimOptions* o : {&silent, &drop})
    for (std::uint8_t c : {0x30, 0x40, 0x41}) {
      TSimUnit unit(*o);
      EXPECT_TRUE(Ask(unit, Request(c, zero)).empty());
    }
  {
    TSimUnit unit(corrupt);
    const auto r = Ask(unit, Request(0x40));
    ASSERT_EQ(r.size(), 52u);
    EXPECT_FALSE(FrameCheckOk(r.data()));
  }
  {
    TSimUnit unit(stray);
    const auto r = Ask(unit, Request(0x30));
    ASSERT_EQ(r.size(), 55u);
    EXPECT_EQ(r[3], 0xB0);
    EXPECT_TRUE(FrameCheckOk(r.data() + 3));
  }
  {
    TSimUnit unit(version);
    EXPECT_EQ(Ask(unit, Request(0x40))[11], 66);
    EXPECT_EQ(Ask(unit, Request(0x30))[50], 66);
  }
  {
    TSimUnit unit(echo);
    std::uint8_t block[PayloadSize];
    std::memcpy(block, unit.Block(1), PayloadSize);
    const auto r = Ask(unit, Request(0x01, block));
    EXPECT_EQ(DifferingBytes(r.data() + 1, block), 1);
    EXPECT_EQ(DifferingBytes(unit.Block(1), block), 0); // stored right, echoed wrong
  }
  {
    TSimUnit unit(verify);
    const auto read = Ask(unit, Request(0x41));
    EXPECT_EQ(DifferingBytes(read.data() + 1, unit.Block(1)), 0);
    const auto check = Ask(unit, Request(0x41, read.data() + 1));
    EXPECT_EQ(DifferingBytes(check.data() + 1, unit.Block(1)), 1);
  }
  TSimOptions half;
  half.DropPercent = 50;
  half.Seed = 7;
  TSimUnit unit(half);
  int answered = 0;
  for (int i = 0; i < 200; ++i) answered += !Ask(unit, Request(0x30)).empty();
  EXPECT_GT(answered, 60);
  EXPECT_LT(answered, 140);
}

TEST(SimRequestReader, ResyncsPastStrayBytesAndDropsStalePartials) {
  TSimRequestReader reader;
  const TLinkFrame a = Request(0x30), b = Request(0x41);
  std::vector<std::uint8_t> stream = {0x12, 0x00, 0xFF};
  stream.insert(stream.end(), a.begin(), a.end());
  stream.insert(stream.end(), b.begin(), b.begin() + 20);
  reader.Feed(stream.data(), stream.size(), 1.0);
  TLinkFrame got;
  ASSERT_TRUE(reader.NextRequest(got));
  EXPECT_EQ(got, a);
  EXPECT_FALSE(reader.NextRequest(got));
  reader.Feed(b.data() + 20, 32, 1.01);
  ASSERT_TRUE(reader.NextRequest(got));
  EXPECT_EQ(got, b);

  reader.Feed(a.data(), 30, 2.0);
  reader.Expire(2.05);
  EXPECT_EQ(reader.Pending(), 30u);
  reader.Expire(2.2);
  EXPECT_EQ(reader.Pending(), 0u);
  reader.Feed(a.data(), 52, 3.0);
  EXPECT_TRUE(reader.NextRequest(got));
}

// The program itself, on a real pseudo-terminal.
class SimProcess : public ::testing::Test {
protected:
  bool Start(std::vector<std::string> args) {
    int in[2], out[2];
    if (pipe(in) != 0 || pipe(out) != 0) return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_addclose(&actions, in[1]);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    args.insert(args.begin(), VANTEL_SIM_PATH);
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    const int rc = posix_spawn(&Pid, VANTEL_SIM_PATH, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(in[0]);
    close(out[1]);
    StdIn = in[1];
    if (rc != 0) return false;
    char c;
    while (read(out[0], &c, 1) == 1 && c != '\n') Slave += c;
    close(out[0]);
    return !Slave.empty();
  }
  // Exit status within two seconds, -1 when it does not end.
  int WaitExit() {
    for (int i = 0; i < 200; ++i) {
      int status = 0;
      if (waitpid(Pid, &status, WNOHANG) == Pid) {
        Pid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return -1;
  }
  void TearDown() override {
    if (StdIn >= 0) close(StdIn);
    if (Pid > 0) {
      kill(Pid, SIGKILL);
      waitpid(Pid, nullptr, 0);
    }
  }
  pid_t Pid = -1;
  int StdIn = -1;
  std::string Slave;
};

TEST_F(SimProcess, AnswersAMonitorRequestOverItsPseudoTerminalAndEndsWithItsStdin) {
  TTempHome home;
  const std::string link = home.Path + "/com1";
  ASSERT_TRUE(Start({"--exit-on-stdin-eof", "--link", link}));
  struct stat info {};
  EXPECT_EQ(lstat(link.c_str(), &info), 0);

  TPosixSerialPort port;
  std::string error;
  ASSERT_TRUE(port.Open(link, error)) << error;
  for (std::uint8_t command : {0x30, 0x40}) {
    const TLinkFrame request = Request(command);
    ASSERT_TRUE(port.Write(request.data(), FrameSize));
    EXPECT_TRUE(port.WaitSent(100));
    int waiting = 0;
    for (int i = 0; i < 100 && (waiting = port.BytesWaiting()) < FrameSize; ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_EQ(waiting, FrameSize);
    std::uint8_t reply[FrameSize];
    ASSERT_EQ(port.Read(reply, FrameSize), FrameSize);
    EXPECT_EQ(reply[0], command | 0x80);
    EXPECT_TRUE(FrameCheckOk(reply));
  }
  close(StdIn);
  StdIn = -1;
  EXPECT_EQ(WaitExit(), 0);
  EXPECT_NE(lstat(link.c_str(), &info), 0); // link removed
}

TEST_F(SimProcess, UnplugHangsUpTheLineAndSigtermEnds) {
  ASSERT_TRUE(Start({"--unplug-after", "1"}));
  TPosixSerialPort port;
  std::string error;
  ASSERT_TRUE(port.Open(Slave, error)) << error;
  EXPECT_EQ(port.BytesWaiting(), 0);
  int waiting = 0;
  for (int i = 0; i < 60 && (waiting = port.BytesWaiting()) >= 0; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(55));
  EXPECT_EQ(waiting, -1);
  EXPECT_EQ(WaitExit(), 0);

  ASSERT_TRUE(Start({"--stopped"}));
  kill(Pid, SIGTERM);
  EXPECT_EQ(WaitExit(), 0);
}
