#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <ctime>
#include <fstream>
#include <poll.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

#include "link/LinkTestSupport.h"
#include "link/PortName.h"
#include "link/PosixSerialPort.h"
#include "link/TestMarker.h"
#include "model/SettingsDir.h"

namespace {

double ProcessCpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + t.tv_nsec * 1e-9;
}

// Reads from the master until count bytes arrived or a second passed.
std::string ReadMaster(int master, std::size_t count) {
  std::string got;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(1);
  while (got.size() < count && std::chrono::steady_clock::now() < deadline) {
    pollfd p{master, POLLIN, 0};
    if (poll(&p, 1, 20) <= 0) continue;
    char buffer[256];
    const ssize_t n = read(master, buffer, sizeof buffer);
    if (n > 0) got.append(buffer, static_cast<std::size_t>(n));
  }
  return got;
}

int WaitForBytes(TPosixSerialPort& port, int count) {
  int waiting = 0;
  for (int i = 0; i < 100 && (waiting = port.BytesWaiting()) < count; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  return waiting;
}

} // namespace

TEST(SettingsDirectory, Precedence) {
  struct Case {
    std::optional<std::string> VantelHome, Xdg, Home;
    const char* Expected;
  };
  const Case cases[] = {
      {"/v", "/x", "/h", "/v"},
      {"", "/x", "/h", "/x/vantel"},
      {std::nullopt, "", "/h", "/h/.config/vantel"},
      {std::nullopt, std::nullopt, "/h", "/h/.config/vantel"},
  };
  for (const Case& c : cases) {
    TEnvGuard v("VANTEL_HOME", c.VantelHome), x("XDG_CONFIG_HOME", c.Xdg), h("HOME", c.Home);
    EXPECT_EQ(SettingsDirectory(), c.Expected);
  }
}

TEST(PortDeviceName, VariableThenSettingsLinkThenUsbDefault) {
  TTempHome home;
  ASSERT_EQ(symlink("/dev/ttyS0", (home.Path + "/com2").c_str()), 0);
  ASSERT_EQ(symlink("/nonexistent/tty", (home.Path + "/com4").c_str()), 0);
  std::ofstream(home.Path + "/com5") << "";
  TEnvGuard com2("VANTEL_COM2", std::nullopt), com3("VANTEL_COM3", "/dev/pts/77"),
      com4("VANTEL_COM4", ""), com1("VANTEL_COM1", std::nullopt);
  struct Case {
    int N;
    std::string Expected;
  };
  const Case cases[] = {
      {1, "/dev/ttyUSB0"},
      {2, home.Path + "/com2"},
      {3, "/dev/pts/77"},
      {4, home.Path + "/com4"}, // a dangling link still names the port the user chose
      {5, home.Path + "/com5"},
      {10, "/dev/ttyUSB9"},
      {0, ""},
      {11, ""},
  };
  for (const Case& c : cases) EXPECT_EQ(PortDeviceName(c.N), c.Expected) << c.N;
}

TEST(TestMarker, WholeCaseSensitiveWordOnly) {
  TTempHome home;
  const std::string path = TestMarkerPath();
  EXPECT_EQ(path, home.Path + "/test_qorvin.txt");
  EXPECT_FALSE(ReadTestMarker(path)); // missing file
  const std::string longWord(5000, 'x');
  struct Case {
    std::string Content;
    bool Enabled;
  };
  const Case cases[] = {
      {"DIAG_UNLOCK", true},
      {"alpha beta\n\tDIAG_UNLOCK\r\nomega", true},
      {longWord + " DIAG_UNLOCK", true},
      {"diag_unlock", false},
      {"DIAG_UNLOCKED", false},
      {"XDIAG_UNLOCK", false},
      {"DIAG_UNLOC", false},
      {longWord + "DIAG_UNLOCK", false},
      {std::string("DIAG_UNLOCK\0", 12), false},
      {"", false},
  };
  for (const Case& c : cases) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << c.Content;
    EXPECT_EQ(ReadTestMarker(path), c.Enabled) << c.Content.substr(0, 40);
  }
}

TEST(PosixSerialPort, OpensAPseudoTerminalRawAt57600AndRestoresItsLineAtClose) {
  TPtyPair pty;
  ASSERT_FALSE(pty.Slave.empty());
  termios before{};
  ASSERT_EQ(tcgetattr(pty.Master, &before), 0); // the slave's line, cooked by default
  ASSERT_TRUE(before.c_lflag & ICANON);

  TPosixSerialPort port;
  std::string error;
  ASSERT_TRUE(port.Open(pty.Slave, error)) << error;
  EXPECT_TRUE(port.IsOpen());
  termios line{};
  ASSERT_EQ(tcgetattr(pty.Master, &line), 0);
  EXPECT_EQ(cfgetispeed(&line), B57600);
  EXPECT_EQ(cfgetospeed(&line), B57600);
  EXPECT_EQ(line.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
  EXPECT_EQ(line.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
  EXPECT_EQ(line.c_cflag & (CLOCAL | CREAD), static_cast<tcflag_t>(CLOCAL | CREAD));
  EXPECT_EQ(line.c_iflag & (IXON | IXOFF | ICRNL | ISTRIP), 0u);
  EXPECT_EQ(line.c_lflag & (ICANON | ECHO | ISIG), 0u);
  EXPECT_EQ(line.c_oflag & OPOST, 0u);
  EXPECT_EQ(line.c_cc[VMIN], 0);
  EXPECT_EQ(line.c_cc[VTIME], 0);

  // Both directions carry every byte value unchanged.
  std::uint8_t out[256];
  for (int i = 0; i < 256; ++i) out[i] = static_cast<std::uint8_t>(i);
  ASSERT_TRUE(port.Write(out, 256));
  EXPECT_TRUE(port.WaitSent(200));
  EXPECT_EQ(ReadMaster(pty.Master, 256), std::string(reinterpret_cast<char*>(out), 256));

  EXPECT_EQ(port.BytesWaiting(), 0);
  std::uint8_t in[64];
  EXPECT_EQ(port.Read(in, sizeof in), 0); // never waits
  ASSERT_EQ(write(pty.Master, out + 200, 52), 52);
  EXPECT_EQ(WaitForBytes(port, 52), 52);
  EXPECT_EQ(port.Read(in, 30), 30);
  EXPECT_EQ(port.BytesWaiting(), 22);
  EXPECT_EQ(port.Read(in + 30, 64), 22);
  EXPECT_EQ(std::memcmp(in, out + 200, 52), 0);

  port.Close();
  EXPECT_FALSE(port.IsOpen());
  termios after{};
  ASSERT_EQ(tcgetattr(pty.Master, &after), 0);
  EXPECT_EQ(after.c_lflag, before.c_lflag);
  EXPECT_EQ(after.c_iflag, before.c_iflag);
  EXPECT_EQ(after.c_cflag, before.c_cflag);
  EXPECT_EQ(port.BytesWaiting(), -1);
  EXPECT_FALSE(port.Write(out, 1));
}

TEST(PosixSerialPort, RefusesASecondOpenerAndNamesTheReason) {
  TPtyPair pty;
  TPosixSerialPort first, second;
  std::string error;
  ASSERT_TRUE(first.Open(pty.Slave, error)) << error;
  EXPECT_FALSE(second.Open(pty.Slave, error));
  EXPECT_FALSE(second.IsOpen());
  EXPECT_NE(error.find(pty.Slave), std::string::npos) << error;
  EXPECT_NE(error.find("Another program"), std::string::npos) << error;
  first.Close();
  EXPECT_TRUE(second.Open(pty.Slave, error)) << error; // free again after close

  struct Case {
    const char* Device;
    const char* Reason;
  };
  for (const Case c : {Case{"/dev/ttyVANTEL-none", std::strerror(ENOENT)},
                       Case{"/dev/null", std::strerror(ENOTTY)}}) {
    TPosixSerialPort port;
    EXPECT_FALSE(port.Open(c.Device, error));
    EXPECT_NE(error.find(c.Device), std::string::npos) << error;
    EXPECT_NE(error.find(c.Reason), std::string::npos) << error;
  }
}

TEST(PosixSerialPort, WaitSentIsBoundedWhenTheFarEndDoesNotRead) {
  TPtyPair pty;
  TPosixSerialPort port;
  std::string error;
  ASSERT_TRUE(port.Open(pty.Slave, error)) << error;
  std::uint8_t frame[52] = {};
  for (int i = 0; i < 20; ++i) port.Write(frame, sizeof frame);
  const auto start = std::chrono::steady_clock::now();
  port.WaitSent(50);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
}

TEST(PosixSerialPort, HungUpFarEndReportsMinusOneWithoutSpinning) {
  TPtyPair pty;
  TPosixSerialPort port;
  std::string error;
  ASSERT_TRUE(port.Open(pty.Slave, error)) << error;
  pty.CloseMaster();

  const double cpuStart = ProcessCpuSeconds();
  const auto wallStart = std::chrono::steady_clock::now();
  std::uint8_t buffer[64];
  for (int tick = 0; tick < 18; ++tick) { // about one second of 55 ms ticks
    EXPECT_EQ(port.BytesWaiting(), -1);
    EXPECT_EQ(port.Read(buffer, sizeof buffer), 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(55));
  }
  const double wall =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
  EXPECT_LT((ProcessCpuSeconds() - cpuStart) / wall, 0.2);
  EXPECT_TRUE(port.HungUp());
  EXPECT_FALSE(port.Write(buffer, 52));
  EXPECT_FALSE(port.WaitSent(50));
  port.Close(); // closing a hung-up line is quiet too
  EXPECT_FALSE(port.IsOpen());
}
