#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstring>
#include <sys/stat.h>
#include <thread>

#include "SimUnit.h"
#include "link/PosixSerialPort.h"
#include "model/Normalise.h"
#include "support/SimProcess.h"
#include "support/TempHome.h"

using namespace std::chrono_literals;

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

int Differing(const std::uint8_t* a, const std::uint8_t* b) {
  int n = 0;
  for (int i = 0; i < PayloadSize; ++i) n += a[i] != b[i];
  return n;
}

unsigned Word(const std::vector<std::uint8_t>& f, int at) {
  return f[at] | (f[at + 1] << 8);
}

} // namespace

TEST(SimUnit, AnswersEveryRequestKindAndStoresWrites) {
  TSimUnit unit;
  std::uint8_t foreign[PayloadSize], tune[PayloadSize];
  for (int i = 0; i < PayloadSize; ++i) foreign[i] = static_cast<std::uint8_t>(i + 1);
  std::memcpy(tune, unit.Block(1), PayloadSize);
  tune[2] = 12;
  const std::tuple<TLinkFrame, std::uint8_t, int> cases[] = {{Request(0x40), 0xC0, 0},
                                                             {Request(0x41), 0xC1, 1},
                                                             {Request(0x41, tune), 0xC1, 1},
                                                             {Request(0x00, foreign), 0x80, 0},
                                                             {Request(0x01, tune), 0x81, 1}};
  for (const auto& [request, replyByte, block] : cases) {
    const std::vector<std::uint8_t> reply = Ask(unit, request);
    ASSERT_EQ(reply.size(), 52u);
    EXPECT_EQ(reply[0], replyByte);
    EXPECT_TRUE(FrameCheckOk(reply.data()));
    EXPECT_EQ(Differing(reply.data() + 1, unit.Block(block)), 0) << int(request[0]);
  }
  EXPECT_EQ(unit.Block(0)[10], 67); // the PC's block 0 was not taken
  EXPECT_EQ(unit.Block(0)[5], ('M' + 'a' + 'r') % 256);
  EXPECT_EQ(Differing(unit.Block(1), tune), 0);
  TLinkFrame badCheck = Request(0x30);
  badCheck[51] ^= 1;
  for (const TLinkFrame& r : {badCheck, Request(0x31), Request(0x02), Request(0xB0)})
    EXPECT_TRUE(Ask(unit, r).empty()) << int(r[0]);

  // Storing counts down 53..0 in about 3 s after every write; the counter counts writes.
  TSimUnit fresh;
  EXPECT_EQ(Word(Ask(fresh, Request(0x30)), 47), 0u);
  for (unsigned write = 1; write <= 2; ++write) {
    Ask(fresh, Request(0x01, fresh.Block(1)));
    std::vector<unsigned> countdown;
    for (int i = 0; i < 8; ++i, fresh.Advance(0.5)) {
      const std::vector<std::uint8_t> monitor = Ask(fresh, Request(0x30));
      countdown.push_back(Word(monitor, 47));
      EXPECT_EQ(Word(monitor, 5), write);
    }
    EXPECT_EQ(countdown[0], 53u);
    EXPECT_TRUE(std::is_sorted(countdown.rbegin(), countdown.rend()));
    EXPECT_GT(countdown[3], 0u);
    EXPECT_EQ(countdown[6], 0u);
  }
}

TEST(SimUnit, RunningEngineSweepsThroughEveryStateOnAValidTune) {
  TSimUnit unit;
  TIgnParams normalised = unit.Params();
  TLanguage language = 0;
  std::uint8_t port = 1;
  NormaliseParams(normalised, language, port);
  EXPECT_EQ(std::memcmp(&normalised, unit.Block(1), BlockSize), 0);

  const TIgnParams& p = unit.Params();
  unsigned low[52], high[52];
  std::fill(low, low + 52, 0xFFFFu);
  std::fill(high, high + 52, 0u);
  for (int step = 0; step < 300; ++step, unit.Advance(0.1)) { // 30 s
    const std::vector<std::uint8_t> f = Ask(unit, Request(0x30));
    ASSERT_EQ(f[42], 1);
    for (int i = 0; i < 51; ++i) {
      const unsigned v = i == 1 || i == 3 ? Word(f, i) : f[i];
      low[i] = std::min(low[i], v), high[i] = std::max(high[i], v);
    }
    ASSERT_TRUE(!f[36] || Word(f, 1) >= p.Omez2 * 100u);
    ASSERT_TRUE(!f[39] || Word(f, 1) >= p.LedRazeni * 100u);
  }
  EXPECT_LE(low[1], 1300u);
  EXPECT_EQ(high[1], p.Omez2 * 100u);
  EXPECT_LE(low[3], 11000u);
  EXPECT_GE(high[3], 14999u);
  EXPECT_GE(low[31], 100u + 10 - p.Retard);
  EXPECT_EQ(high[31], 100u + 34);
  EXPECT_EQ(low[32], 34u);
  // inputs, polarity, start limiter, limiter, shift light and retard all come and go
  for (int offset : {29, 30, 35, 36, 39, 40}) EXPECT_EQ(low[offset] + high[offset], 1u) << offset;

  TSimOptions stopped;
  stopped.Stopped = true;
  TSimUnit still(stopped);
  still.Advance(5);
  const std::vector<std::uint8_t> f = Ask(still, Request(0x30));
  EXPECT_EQ(Word(f, 1) + f[42], 0u);
}

TEST(SimUnit, Faults) {
  TSimOptions o[7];
  o[0].Silent = true, o[1].DropPercent = 100, o[2].CorruptPercent = 100, o[3].Stray = 3;
  o[4].LayoutVersion = 66, o[5].BadEcho = true, o[6].BadVerify = true;
  TSimUnit silent(o[0]), drop(o[1]), corrupt(o[2]), stray(o[3]), old(o[4]), echo(o[5]),
      verify(o[6]);
  EXPECT_TRUE(Ask(silent, Request(0x30)).empty());
  EXPECT_TRUE(Ask(drop, Request(0x40)).empty());
  EXPECT_FALSE(FrameCheckOk(Ask(corrupt, Request(0x40)).data()));
  const std::vector<std::uint8_t> strayed = Ask(stray, Request(0x30));
  ASSERT_EQ(strayed.size(), 55u);
  EXPECT_TRUE(strayed[3] == 0xB0 && FrameCheckOk(strayed.data() + 3));
  EXPECT_EQ(Ask(old, Request(0x40))[11], 66);
  EXPECT_EQ(Ask(old, Request(0x30))[50], 66);
  std::uint8_t tune[PayloadSize];
  std::memcpy(tune, echo.Block(1), PayloadSize);
  EXPECT_EQ(Differing(Ask(echo, Request(0x01, tune)).data() + 1, tune), 1);
  EXPECT_EQ(Differing(echo.Block(1), tune), 0); // stored right, echoed wrong
  const std::vector<std::uint8_t> read = Ask(verify, Request(0x41));
  EXPECT_EQ(Differing(read.data() + 1, verify.Block(1)), 0); // a read is answered right
  EXPECT_EQ(Differing(Ask(verify, Request(0x41, read.data() + 1)).data() + 1, verify.Block(1)), 1);

  TSimOptions half;
  half.DropPercent = 50;
  TSimUnit some(half);
  int answered = 0;
  for (int i = 0; i < 200; ++i) answered += !Ask(some, Request(0x30)).empty();
  EXPECT_TRUE(answered > 60 && answered < 140) << answered;
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
}

// A frame cut short shifts every later one: a shifted monitor request passes the check and
// reads as a write of block 0.
TEST(SimRequestReader, ByPlaceOnlyStaysShiftedAndKeepsPartials) {
  TSimRequestReader reader(true);
  const TLinkFrame a = Request(0x30);
  std::vector<std::uint8_t> stream(a.begin(), a.begin() + 44);
  for (int i = 0; i < 2; ++i) stream.insert(stream.end(), a.begin(), a.end());
  reader.Feed(stream.data(), stream.size(), 1.0);
  TLinkFrame got;
  ASSERT_TRUE(reader.NextRequest(got)); // the first window fails and is skipped whole
  EXPECT_EQ(got[0], 0x00);
  EXPECT_FALSE(reader.NextRequest(got));
  reader.Expire(5.0);
  EXPECT_EQ(reader.Pending(), 44u);
}

// The program itself on a real pseudo-terminal; ends with its stdin, on SIGTERM, or unplugged.
TEST(SimProcess, AnswersOverItsPseudoTerminal) {
  TTempHome home;
  const std::string link = home.File("com1");
  struct stat info {};
  std::string error;
  {
    TSimProcess sim;
    ASSERT_TRUE(sim.Start(TSimProcess::Program(), {"--link", link}, error)) << error;
    TPosixSerialPort port;
    TFailureReport failure;
    ASSERT_TRUE(port.Open(link, failure)) << DescribeFailure(failure, LangEnglish);
    for (std::uint8_t command : {0x30, 0x40}) {
      const TLinkFrame request = Request(command);
      ASSERT_TRUE(port.Write(request.data(), FrameSize));
      int waiting = 0;
      for (int i = 0; i < 100 && (waiting = port.BytesWaiting().Count) < FrameSize; ++i)
        std::this_thread::sleep_for(10ms);
      std::uint8_t reply[FrameSize];
      ASSERT_EQ(port.Read(reply, FrameSize).Count, FrameSize);
      EXPECT_TRUE(reply[0] == (command | 0x80) && FrameCheckOk(reply)) << int(command);
    }
    sim.CloseInput(); // the end of its standard input ends it
    EXPECT_EQ(sim.WaitExit(), 0);
    EXPECT_NE(lstat(link.c_str(), &info), 0); // link removed
  }
  {
    TSimProcess sim;
    ASSERT_TRUE(sim.Start({"--unplug-after", "1"}));
    TPosixSerialPort port;
    TFailureReport failure;
    ASSERT_TRUE(port.Open(sim.Path, failure)) << DescribeFailure(failure, LangEnglish);
    EXPECT_EQ(port.BytesWaiting().Status, TPortStatus::NoData);
    TPortStatus status = TPortStatus::NoData;
    for (int i = 0; i < 60 && (status = port.BytesWaiting().Status) == TPortStatus::NoData; ++i)
      std::this_thread::sleep_for(55ms);
    EXPECT_EQ(status, TPortStatus::HungUp);
    EXPECT_EQ(sim.WaitExit(), 0);
  }
  TSimProcess stopped;
  ASSERT_TRUE(stopped.Start({"--stopped"}));
  stopped.Signal(SIGTERM);
  EXPECT_EQ(stopped.WaitExit(), 0);
}
