#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <poll.h>
#include <thread>
#include <unistd.h>

#include "SimUnit.h"
#include "i18n/Failure.h"
#include "link/ComLink.h"
#include "link/PortReopen.h"
#include "link/SerialDevices.h"
#include "support/FakeDevices.h"
#include "support/PtyPair.h"
#include "support/RecordingHost.h"
#include "support/TempHome.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

// Points link at target in one step, as udev or a user replacing a link does.
void Repoint(const std::string& link, const std::string& target) {
  const std::string temp = link + ".new";
  ASSERT_EQ(symlink(target.c_str(), temp.c_str()), 0);
  ASSERT_EQ(rename(temp.c_str(), link.c_str()), 0);
}

std::string Canonical(const std::string& path) {
  return fs::canonical(path).string();
}

double CpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + t.tv_nsec * 1e-9;
}

// A computer with a FTDI converter (with its by-id name), a CDC modem, a converter that
// tells nothing of itself, one real UART and the places the kernel keeps for more.
void PlugTheUsualPorts(TFakeDevices& devices) {
  devices.PlugUsb("ttyUSB0", {"ftdi_sio", "FTDI", "FT232R USB UART", "A50285BI",
                              "usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0", ""});
  devices.PlugUsb("ttyACM0", {"cdc_acm", "Arduino (www.arduino.cc)", "Uno", "", "", ""});
  devices.PlugUsb("ttyUSB10", {"pl2303", "", "", "", "", ""});
  devices.PlugUsb("ttyUSB2", {"ch341", "", "USB Serial", "", "", ""});
  devices.AddUart("ttyS0", 4);
  for (int n = 1; n < 32; ++n) devices.AddUart("ttyS" + std::to_string(n), 0);
  devices.AddTerminal("tty0");
  devices.AddTerminal("console");
}

} // namespace

TEST(SerialDevices, ListsThePortsWithTheirAdaptersAndStableNames) {
  TTempHome home;
  TFakeDevices fake(home.File("root"));
  PlugTheUsualPorts(fake);
  fs::create_symlink("../../ttyUSB7", fake.Node("serial/by-id/usb-gone-if00-port0")); // stale
  fs::remove(fake.Node("ttyUSB2")); // its node is not there (yet)

  const std::vector<TSerialDevice> devices = ListSerialDevices(fake.Roots());
  std::vector<std::string> names;
  for (const TSerialDevice& d : devices) names.push_back(d.Name);
  EXPECT_EQ(names,
            (std::vector<std::string>{"ttyACM0", "ttyS0", "ttyUSB0", "ttyUSB2", "ttyUSB10"}));
  ASSERT_EQ(devices.size(), 5u);

  struct TExpected {
    std::string Driver, ById, English, Czech;
    int AccessError;
  };
  const TExpected expected[] = {
      {"cdc_acm", "", "Arduino (www.arduino.cc) Uno", "Arduino (www.arduino.cc) Uno", 0},
      {"serial8250", "", "on-board serial port", "sériový port základní desky", 0},
      {"ftdi_sio", fake.Node("serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0"),
       "FTDI FT232R USB UART, serial number A50285BI",
       "FTDI FT232R USB UART, sériové číslo A50285BI", 0},
      {"ch341", "", "USB Serial", "USB Serial", ENOENT},
      {"pl2303", "", "pl2303", "pl2303", 0},
  };
  for (std::size_t i = 0; i < devices.size(); ++i) {
    const TSerialDevice& d = devices[i];
    EXPECT_EQ(d.Path, fake.Node(d.Name));
    EXPECT_EQ(d.Driver, expected[i].Driver) << d.Name;
    EXPECT_EQ(d.ById, expected[i].ById) << d.Name;
    EXPECT_EQ(AdapterText(d, LangEnglish), expected[i].English) << d.Name;
    EXPECT_EQ(AdapterText(d, LangCzech), expected[i].Czech) << d.Name;
    EXPECT_EQ(d.AccessError, expected[i].AccessError) << d.Name;
  }
  // A user outside the dialout group (root may open anything, so only when not root).
  if (geteuid() != 0) {
    fs::permissions(fake.Node("ttyUSB0"), fs::perms::owner_read);
    EXPECT_EQ(ListSerialDevices(fake.Roots())[2].AccessError, EACCES);
  }

  fake.Pull("ttyUSB0");
  EXPECT_EQ(ListSerialDevices(fake.Roots()).size(), 4u);
  EXPECT_TRUE(ListSerialDevices({home.File("nowhere"), home.File("nowhere")}).empty());
}

// Each Com item's hint names the device it opens, where a link leads, and the adapter there
// or that it is not present; the list of devices in use names the Com items.
TEST(SerialDevices, ComItemHintsNameTheMappedDeviceAndItsAdapter) {
  TTempHome home;
  TFakeDevices fake(home.File("root"));
  PlugTheUsualPorts(fake);
  TPtyPair pty;
  ASSERT_FALSE(pty.Slave.empty());
  const std::string byId = fake.Node("serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0");
  ASSERT_EQ(symlink(byId.c_str(), home.File("com2").c_str()), 0);
  ASSERT_EQ(symlink("/dev/ttyVANTEL-gone", home.File("com4").c_str()), 0);
  std::deque<TEnvGuard> env;
  env.emplace_back("VANTEL_COM1", fake.Node("ttyUSB0"));
  env.emplace_back("VANTEL_COM3", pty.Slave);
  env.emplace_back("VANTEL_COM5", fake.Node("ttyUSB5"));
  for (const char* unset : {"VANTEL_COM2", "VANTEL_COM4"}) env.emplace_back(unset, std::nullopt);

  const std::vector<TSerialDevice> devices = ListSerialDevices(fake.Roots());
  const std::string ftdi = Canonical(fake.Node("ttyUSB0"));
  const std::pair<int, std::string> hints[] = {
      {1, fake.Node("ttyUSB0") + ": FTDI FT232R USB UART, serial number A50285BI"},
      {2, home.File("com2") + " → " + ftdi + ": FTDI FT232R USB UART, serial number A50285BI"},
      {3, pty.Slave + ": pseudo-terminal"},
      {4, home.File("com4") + " → /dev/ttyVANTEL-gone: not present"},
      {5, fake.Node("ttyUSB5") + ": not present"},
  };
  for (const auto& [n, hint] : hints) EXPECT_EQ(ComItemDeviceHint(n, devices, LangEnglish), hint);
  EXPECT_EQ(ComItemDeviceHint(5, devices, LangGerman), fake.Node("ttyUSB5") + ": nicht vorhanden");
  EXPECT_EQ(ComItemDeviceHint(11, devices, LangEnglish), "");

  EXPECT_EQ(ComItemsOf(fake.Node("ttyUSB0")), "Com 1, Com 2");
  EXPECT_EQ(ComItemsOf(byId), "Com 1, Com 2");
  EXPECT_EQ(ComItemsOf(fake.Node("ttyACM0")), "");

  // The dialog's list: the ports, then the pseudo-terminal Com 3 leads to.
  const std::vector<TSerialDevice> inUse = ListComDevices(fake.Roots());
  ASSERT_EQ(inUse.size(), devices.size() + 1);
  EXPECT_EQ(inUse.back().Path, Canonical(pty.Slave));
  EXPECT_TRUE(inUse.back().PseudoTerminal);
  EXPECT_EQ(AdapterText(inUse.back(), LangFrench), "pseudo-terminal");
}

TEST(ComLink, ReplacesOnlyALinkAndLeavesNoTemporaryBehind) {
  TTempHome home;
  const std::string folder = home.File("new/settings"); // made when first written
  TFailureReport failure;
  ASSERT_TRUE(WriteComLink(folder, 3, "/dev/serial/by-id/usb-one", failure))
      << DescribeFailure(failure, LangEnglish);
  EXPECT_EQ(fs::read_symlink(folder + "/com3"), "/dev/serial/by-id/usb-one");
  ASSERT_TRUE(WriteComLink(folder, 3, "/dev/ttyACM0", failure));
  EXPECT_EQ(fs::read_symlink(folder + "/com3"), "/dev/ttyACM0");

  // What the user put there instead of a link is theirs.
  TTempHome::Put(folder + "/com4", "my notes");
  fs::create_directory(folder + "/com5");
  for (int n : {4, 5}) {
    EXPECT_FALSE(WriteComLink(folder, n, "/dev/ttyUSB0", failure)) << n;
    EXPECT_EQ(failure.What, TFailure::NotALink) << n;
    EXPECT_EQ(failure.Path, folder + "/com" + std::to_string(n));
  }
  EXPECT_EQ(TTempHome::Slurp(folder + "/com4"), "my notes");
  EXPECT_TRUE(fs::is_directory(folder + "/com5"));
  EXPECT_EQ(DescribeFailure(failure, LangEnglish),
            folder + "/com5: not a link, left as it is: remove it to assign a device");

  for (int n : {0, 11}) EXPECT_FALSE(WriteComLink(folder, n, "/dev/ttyUSB0", failure)) << n;
  TTempHome::Put(home.File("file"), "");
  EXPECT_FALSE(WriteComLink(home.File("file/sub"), 1, "/dev/ttyUSB0", failure));
  EXPECT_EQ(failure.What, TFailure::FolderNotCreated);

  std::vector<std::string> left;
  for (const auto& entry : fs::directory_iterator(folder)) left.push_back(entry.path().filename());
  std::sort(left.begin(), left.end());
  EXPECT_EQ(left, (std::vector<std::string>{"com3", "com4", "com5"}));
}

// The far end hangs up and comes back under the same name: the port is closed at once, tried
// again about once a second, and the polling resumes within two seconds, idling meanwhile.
// A port the user opened and that failed is never tried again by itself.
TEST(PortReopen, AHungUpPortComesBackUnderItsNameWithoutSpinning) {
  TTempHome home;
  const std::string link = home.File("com1");
  auto first = std::make_unique<TPtyPair>();
  first->NonBlocking();
  ASSERT_EQ(symlink(first->Slave.c_str(), link.c_str()), 0);
  TPosixSerialPort port;
  TPortReopen reopen(port);
  TFailureReport error;
  ASSERT_TRUE(port.Open(link, error)) << DescribeFailure(error, LangEnglish);
  TDeviceImage image{};
  TRecordingHost host(image);
  TLinkEngine engine(image, host);
  engine.SetPort(&port);
  TSimUnit unit;
  TPtyPair* far = first.get();
  TSimRequestReader requests;
  auto serve = [&] {
    std::uint8_t buffer[512];
    for (ssize_t got; far != nullptr && (got = read(far->Master, buffer, sizeof buffer)) > 0;)
      requests.Feed(buffer, static_cast<std::size_t>(got), 0);
    TLinkFrame request;
    std::vector<std::uint8_t> reply;
    while (requests.NextRequest(request)) {
      unit.HandleRequest(request.data(), reply);
      if (!reply.empty() && write(far->Master, reply.data(), reply.size()) < 0) break;
    }
  };
  auto next = std::chrono::steady_clock::now();
  auto tick = [&] {
    next += std::chrono::milliseconds(TickMs);
    std::this_thread::sleep_until(next);
    reopen.Tick();
    engine.Timer1Timer();
    serve();
  };
  auto tickUntil = [&](const std::function<bool()>& done, int limit) {
    for (int i = 1; i <= limit; ++i) {
      tick();
      if (done()) return i;
    }
    return -1;
  };
  ASSERT_GT(tickUntil([&] { return host.MonitorFrames >= 2; }, 40), 0);

  far = nullptr;
  first.reset(); // pulled
  ASSERT_GT(tickUntil([&] { return !port.IsOpen(); }, 3), 0);
  EXPECT_EQ(reopen.Waiting(), link);
  const double cpuStart = CpuSeconds();
  ASSERT_GT(tickUntil([&] { return host.ConnectionVisible; }, 25), 0);
  tickUntil([] { return false; }, 3000 / TickMs);
  EXPECT_LT(CpuSeconds() - cpuStart, 0.1); // about 4 s of ticks with nothing to open
  EXPECT_FALSE(port.IsOpen());

  TPtyPair second; // plugged again: the same name leads to the new device
  second.NonBlocking();
  Repoint(link, second.Slave);
  far = &second;
  const int frames = host.MonitorFrames;
  const int ticks = tickUntil([&] { return host.MonitorFrames > frames; }, 2000 / TickMs);
  EXPECT_GT(ticks, 0) << "not back within two seconds";
  EXPECT_TRUE(reopen.Waiting().empty());
  EXPECT_EQ(port.DeviceName(), link);
  ASSERT_GT(tickUntil([&] { return !host.ConnectionVisible; }, 10), 0);

  // The user's own choice ends the waiting; a failed open is not retried.
  far = nullptr;
  second.CloseMaster();
  ASSERT_GT(tickUntil([&] { return !reopen.Waiting().empty(); }, 3), 0);
  reopen.Forget();
  EXPECT_FALSE(port.Open(home.File("no-such-port"), error));
  TPtyPair third;
  Repoint(link, third.Slave);
  tickUntil([] { return false; }, 2 * ReopenTicks);
  EXPECT_FALSE(port.IsOpen());
}
