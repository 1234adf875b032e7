#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <functional>
#include <fstream>
#include <poll.h>
#include <termios.h>
#include <thread>

#include "SimUnit.h"
#include "support/PtyPair.h"
#include "support/RecordingHost.h"
#include "support/TempHome.h"
#include "link/PortName.h"
#include "link/PosixSerialPort.h"
#include "link/TestMarker.h"
#include "model/SettingsDir.h"

using namespace std::chrono_literals;

TEST(SettingsDirectory, PortDeviceNameAndTestMarker) {
  {
    TEnvGuard v("VANTEL_HOME", ""), x("XDG_CONFIG_HOME", "/x"), h("HOME", "/h");
    EXPECT_EQ(SettingsDirectory(), "/x/vantel");
    TEnvGuard x2("XDG_CONFIG_HOME", std::nullopt);
    EXPECT_EQ(SettingsDirectory(), "/h/.config/vantel");
    EXPECT_EQ(DataDirectory(), "/h/.local/share/vantel");
    TEnvGuard d("XDG_DATA_HOME", "/d");
    EXPECT_EQ(DataDirectory(), "/d/vantel");
  }
  TTempHome home;
  EXPECT_EQ(SettingsDirectory(), home.Path());
  EXPECT_EQ(ExtraSettingsPath(), home.Path() + "/vantel-extra.ini");
  ASSERT_EQ(symlink("/dev/ttyS0", (home.Path() + "/com2").c_str()), 0);
  ASSERT_EQ(symlink("/nonexistent", (home.Path() + "/com4").c_str()), 0); // dangling: still chosen
  TEnvGuard c1("VANTEL_COM1", std::nullopt), c2("VANTEL_COM2", std::nullopt),
      c3("VANTEL_COM3", "/dev/pts/77"), c4("VANTEL_COM4", "");
  const std::pair<int, std::string> names[] = {{1, "/dev/ttyUSB0"},
                                               {2, home.Path() + "/com2"},
                                               {3, "/dev/pts/77"},
                                               {4, home.Path() + "/com4"},
                                               {10, "/dev/ttyUSB9"},
                                               {0, ""},
                                               {11, ""}};
  for (const auto& [n, expected] : names) EXPECT_EQ(PortDeviceName(n), expected) << n;

  const std::string marker = TestMarkerPath();
  EXPECT_EQ(marker, home.Path() + "/test_qorvin.txt");
  EXPECT_FALSE(ReadTestMarker(marker)); // missing
  const std::string longWord(5000, 'x');
  const std::pair<std::string, bool> files[] = {{"a b\n\tDIAG_UNLOCK\r\nz", true},
                                                {longWord + " DIAG_UNLOCK", true},
                                                {"diag_unlock", false},
                                                {"DIAG_UNLOCKED XDIAG_UNLOCK DIAG_UNLOC", false},
                                                {longWord + "DIAG_UNLOCK", false},
                                                {std::string("DIAG_UNLOCK\0", 12), false}};
  for (const auto& [content, enabled] : files) {
    std::ofstream(marker, std::ios::binary | std::ios::trunc) << content;
    EXPECT_EQ(ReadTestMarker(marker), enabled) << content.substr(0, 30);
  }
}

TEST(PosixSerialPort, RawLineDataExclusivityAndRestoreOnAPseudoTerminal) {
  TPtyPair pty;
  termios before{}, line{}, after{};
  ASSERT_EQ(tcgetattr(pty.Master, &before), 0); // the slave's line, cooked
  TPosixSerialPort port, other;
  TFailureReport error;
  ASSERT_TRUE(port.Open(pty.Slave, error)) << DescribeFailure(error, LangEnglish);
  ASSERT_EQ(tcgetattr(pty.Master, &line), 0);
  EXPECT_EQ(cfgetospeed(&line), B57600);
  EXPECT_EQ(cfgetispeed(&line), B57600);
  EXPECT_EQ(line.c_cflag & (CSIZE | PARENB | CSTOPB | CRTSCTS | CLOCAL | CREAD),
            static_cast<tcflag_t>(CS8 | CLOCAL | CREAD));
  EXPECT_EQ(line.c_iflag & (IXON | IXOFF | ICRNL), 0u);
  EXPECT_EQ(line.c_lflag & (ICANON | ECHO), 0u);
  EXPECT_EQ(line.c_cc[VMIN] + line.c_cc[VTIME], 0);

  EXPECT_FALSE(other.Open(pty.Slave, error));
  EXPECT_EQ(error.What, TFailure::PortBusy);
  EXPECT_EQ(error.Path, pty.Slave);

  std::uint8_t out[256], in[64];
  for (int i = 0; i < 256; ++i) out[i] = static_cast<std::uint8_t>(i);
  ASSERT_TRUE(port.Write(out, 256));
  EXPECT_TRUE(port.WaitSent(200));
  std::string got;
  for (int i = 0; i < 50 && got.size() < 256; ++i) {
    pollfd p{pty.Master, POLLIN, 0};
    char buffer[256];
    if (poll(&p, 1, 20) > 0)
      got.append(buffer, std::max<ssize_t>(0, read(pty.Master, buffer, 256)));
  }
  EXPECT_EQ(got, std::string(reinterpret_cast<char*>(out), 256));
  EXPECT_EQ(port.Read(in, 64).Status, TPortStatus::NoData); // never waits
  ASSERT_EQ(write(pty.Master, out + 200, 52), 52);
  int waiting = 0;
  for (int i = 0; i < 100 && (waiting = port.BytesWaiting().Count) < 52; ++i)
    std::this_thread::sleep_for(5ms);
  EXPECT_EQ(waiting, 52);
  EXPECT_EQ(port.Read(in, 30).Count, 30);
  EXPECT_EQ(port.BytesWaiting().Count, 22);
  EXPECT_EQ(port.Read(in + 30, 64).Count, 22);
  EXPECT_EQ(port.BytesWaiting().Status, TPortStatus::NoData);
  EXPECT_EQ(std::memcmp(in, out + 200, 52), 0);

  // The far end stops reading: the wait for the transmit queue still ends.
  for (int i = 0; i < 20; ++i) port.Write(out, 52);
  const auto start = std::chrono::steady_clock::now();
  port.WaitSent(50);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 500ms);

  port.Close();
  ASSERT_EQ(tcgetattr(pty.Master, &after), 0);
  EXPECT_EQ(after.c_lflag, before.c_lflag);
  EXPECT_EQ(after.c_cflag, before.c_cflag);
  EXPECT_EQ(port.BytesWaiting().Status, TPortStatus::NotOpen);
  EXPECT_EQ(port.Read(in, 64).Status, TPortStatus::NotOpen);
  EXPECT_TRUE(other.Open(pty.Slave, error)) << DescribeFailure(error, LangEnglish); // free again

  const std::pair<const char*, TFailure> failures[] = {
      {"/dev/ttyVANTEL-none", TFailure::PortMissing}, {"/dev/null", TFailure::PortFailed}};
  for (const auto& [device, what] : failures) {
    EXPECT_FALSE(port.Open(device, error));
    EXPECT_EQ(error.What, what) << device;
    EXPECT_EQ(error.Path, device);
    EXPECT_NE(error.Errno, 0);
  }
}

TEST(PosixSerialPort, HungUpFarEndReportsHungUpWithoutSpinning) {
  TPtyPair pty;
  TPosixSerialPort port;
  TFailureReport error;
  ASSERT_TRUE(port.Open(pty.Slave, error)) << DescribeFailure(error, LangEnglish);
  pty.CloseMaster();
  auto cpu = [] {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + t.tv_nsec * 1e-9;
  };
  const double cpuStart = cpu();
  const auto wallStart = std::chrono::steady_clock::now();
  std::uint8_t buffer[64];
  for (int tick = 0; tick < 18; ++tick) { // a second of 55 ms ticks
    EXPECT_EQ(port.BytesWaiting().Status, TPortStatus::HungUp);
    const TPortCount read = port.Read(buffer, 64);
    EXPECT_EQ(read.Status, TPortStatus::HungUp);
    EXPECT_EQ(read.Count, 0);
    std::this_thread::sleep_for(55ms);
  }
  const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - wallStart;
  EXPECT_LT((cpu() - cpuStart) / wall.count(), 0.2);
  EXPECT_FALSE(port.Write(buffer, 52));
  EXPECT_FALSE(port.WaitSent(50));
  port.Close();
  EXPECT_FALSE(port.IsOpen());
}

// The far end stops reading until the transmit queue is full, then reads again. It finds
// frames by their place in the byte stream alone, as the unit does: the rest of the frame
// that the full queue cut off must go out before the next one, so every frame it reads
// starts on a frame boundary, and the monitor polling recovers.
TEST(PosixSerialPort, AFrameCutOffByAFullQueueIsFinishedAndPollingRecovers) {
  TPtyPair pty;
  pty.NonBlocking();
  TPosixSerialPort serial;
  TFailureReport error;
  ASSERT_TRUE(serial.Open(pty.Slave, error)) << DescribeFailure(error, LangEnglish);
  TDeviceImage image{};
  TRecordingHost host(image);
  TLinkEngine engine(image, host);
  engine.SetPort(&serial);
  TSimUnit unit;

  std::vector<std::uint8_t> seen; // every byte the far end has read
  std::size_t handled = 0;
  int misplaced = 0;
  auto serve = [&] {
    std::uint8_t buffer[4096];
    for (ssize_t got; (got = read(pty.Master, buffer, sizeof buffer)) > 0;)
      seen.insert(seen.end(), buffer, buffer + got);
    for (; handled + FrameSize <= seen.size(); handled += FrameSize) {
      const std::uint8_t* frame = seen.data() + handled;
      if (!FrameCheckOk(frame) || frame[0] != MonitorRequestCommand) {
        ++misplaced;
        continue;
      }
      TLinkFrame reply;
      unit.BuildMonitorFrame(reply);
      if (write(pty.Master, reply.data(), FrameSize) < 0) break; // full: the reply is lost
    }
  };
  auto tickUntil = [&](const std::function<bool()>& done, bool serving) {
    for (int i = 1; i <= 200; ++i) {
      engine.Timer1Timer();
      if (serving) serve();
      std::this_thread::sleep_for(2ms);
      if (done()) return i;
    }
    return -1;
  };
  ASSERT_GT(tickUntil([&] { return host.MonitorFrames >= 2; }, true), 0);

  // Stalled: requests pile up until the queue takes only part of one.
  TLinkFrame request;
  BuildMonitorRequest(request);
  int queued = 0;
  while (queued < 100000 && serial.Write(request.data(), FrameSize)) ++queued;
  ASSERT_LT(queued, 100000) << "the queue never filled";
  ASSERT_GT(tickUntil([&] { return host.ConnectionVisible; }, false), 0);

  const int frames = host.MonitorFrames;
  ASSERT_GT(tickUntil([&] { return host.MonitorFrames > frames; }, true), 0);
  // Polling goes on: every request the far end reads from now on is answered.
  const int recovered = host.MonitorFrames;
  tickUntil([] { return false; }, true);
  EXPECT_FALSE(host.ConnectionVisible);
  EXPECT_GE(host.MonitorFrames - recovered, 200 / MonitorTicks - 2);
  std::this_thread::sleep_for(50ms);
  serve();
  EXPECT_EQ(misplaced, 0);
  EXPECT_GT(seen.size(), static_cast<std::size_t>(queued) * FrameSize);
  EXPECT_EQ(seen.size() % FrameSize, 0u);
}
