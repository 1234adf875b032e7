// vantel-sim: plays the ignition unit at the far end of a pseudo-terminal.
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <deque>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include "SimUnit.h"
#include "usage/Usage.h"

namespace {

volatile std::sig_atomic_t StopRequested = 0;

void OnSignal(int) {
  StopRequested = 1;
}

double Now() {
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC, &t);
  return static_cast<double>(t.tv_sec) + t.tv_nsec * 1e-9;
}

bool ParseInt(const char* text, long low, long high, long& value) {
  if (text == nullptr) return false;
  char* end = nullptr;
  errno = 0;
  value = std::strtol(text, &end, 10);
  return errno == 0 && end != text && *end == '\0' && value >= low && value <= high;
}

bool WriteAll(int fd, const std::uint8_t* data, std::size_t count) {
  const double deadline = Now() + 0.5;
  std::size_t sent = 0;
  while (sent < count) {
    const ssize_t done = write(fd, data + sent, count - sent);
    if (done > 0) {
      sent += static_cast<std::size_t>(done);
      continue;
    }
    if (done < 0 && errno != EAGAIN && errno != EINTR) return false;
    if (Now() > deadline) return false;
    pollfd p{fd, POLLOUT, 0};
    poll(&p, 1, 10);
  }
  return true;
}

// A pseudo-terminal in raw mode at 57600 baud, its slave's path, and the link to it; -1
// when none could be opened.
int OpenLine(std::string& linkPath, std::string& slavePath) {
  const int master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) {
    std::fprintf(stderr, "vantel-sim: cannot open a pseudo-terminal: %s\n", std::strerror(errno));
    if (master >= 0) close(master);
    return -1;
  }
  fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
  // Raw on the master sets the line of the slave: no echo of requests before the PC opens it.
  termios line{};
  if (tcgetattr(master, &line) == 0) {
    cfmakeraw(&line);
    cfsetispeed(&line, B57600);
    cfsetospeed(&line, B57600);
    tcsetattr(master, TCSANOW, &line);
  }
  const char* slave = ptsname(master);
  if (slave == nullptr) {
    std::fprintf(stderr, "vantel-sim: no slave device: %s\n", std::strerror(errno));
    close(master);
    return -1;
  }
  slavePath = slave;
  if (!linkPath.empty()) {
    struct stat info {};
    if (lstat(linkPath.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) unlink(linkPath.c_str());
    if (symlink(slavePath.c_str(), linkPath.c_str()) != 0) {
      std::fprintf(stderr, "vantel-sim: cannot link %s: %s\n", linkPath.c_str(),
                   std::strerror(errno));
      linkPath.clear();
    }
  }
  return master;
}

// The storing progress at which --hang-up-storing drops the line: "Saving: 33 %".
constexpr int HangUpCountdown = TSimUnit::StoreCountdownStart * 2 / 3;

struct TPendingReply {
  double Due;
  std::vector<std::uint8_t> Bytes;
};

} // namespace

int main(int argc, char** argv) {
  TSimOptions options;
  std::string linkPath;
  double unplugAfter = -1;
  bool exitOnStdinEof = false;
  bool strictFraming = false;
  bool hangUpStoring = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const char* next = i + 1 < argc ? argv[i + 1] : nullptr;
    long value = 0;
    auto number = [&](long low, long high) {
      if (!ParseInt(next, low, high, value)) {
        std::fprintf(stderr, "vantel-sim: %s needs a number %ld..%ld\n", arg.c_str(), low, high);
        std::exit(2);
      }
      ++i;
      return value;
    };
    auto text = [&]() {
      if (next == nullptr) {
        std::fprintf(stderr, "vantel-sim: %s needs a value\n", arg.c_str());
        std::exit(2);
      }
      ++i;
      return std::string(next);
    };
    if (arg == "--link")
      linkPath = text();
    else if (arg == "--long-name")
      options.LongName = text();
    else if (arg == "--stopped")
      options.Stopped = true;
    else if (arg == "--silent")
      options.Silent = true;
    else if (arg == "--drop")
      options.DropPercent = static_cast<int>(number(0, 100));
    else if (arg == "--corrupt")
      options.CorruptPercent = static_cast<int>(number(0, 100));
    else if (arg == "--stray")
      options.Stray = static_cast<int>(number(0, 1000));
    else if (arg == "--layout-version")
      options.LayoutVersion = static_cast<std::uint8_t>(number(0, 255));
    else if (arg == "--version")
      return WriteText(VersionText(VantelSimUsage()), stdout) ? 0 : 1;
    else if (arg == "--bad-echo")
      options.BadEcho = true;
    else if (arg == "--bad-verify")
      options.BadVerify = true;
    else if (arg == "--strict-framing")
      strictFraming = true;
    else if (arg == "--hang-up-storing")
      hangUpStoring = true;
    else if (arg == "--unplug-after")
      unplugAfter = static_cast<double>(number(0, 86400));
    else if (arg == "--seed")
      options.Seed = static_cast<std::uint32_t>(number(0, 0xFFFFFFFL));
    else if (arg == "--exit-on-stdin-eof")
      exitOnStdinEof = true;
    else if (arg == "--help" || arg == "-h")
      return WriteText(HelpText(VantelSimUsage()), stdout) ? 0 : 1;
    else {
      std::fprintf(stderr, "vantel-sim: unknown option %s\nTry 'vantel-sim --help'.\n",
                   arg.c_str());
      return 2;
    }
  }

  // Before the path is printed: a launcher may stop us as soon as it has read it.
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGINT, &action, nullptr);
  std::signal(SIGPIPE, SIG_IGN);

  std::string slavePath;
  int master = OpenLine(linkPath, slavePath);
  if (master < 0) return 1;
  std::printf("%s\n", slavePath.c_str());
  std::fflush(stdout);

  TSimUnit unit(options);
  TSimRequestReader reader(strictFraming);
  std::deque<TPendingReply> pending;
  std::vector<std::uint8_t> reply;
  std::uint32_t latencyRandom = options.Seed * 2654435761u + 1;
  const double start = Now();
  double last = start;
  bool stdinOpen = exitOnStdinEof;
  std::uint8_t buffer[4096];

  while (!StopRequested) {
    const double now = Now();
    unit.Advance(now - last);
    last = now;
    if (unplugAfter >= 0 && now - start >= unplugAfter) break;
    if (hangUpStoring && unit.SaveCountdown() > 0 && unit.SaveCountdown() <= HangUpCountdown) {
      // The unit loses power while it stores and is back half a second later, on a new line
      // that the link names again.
      hangUpStoring = false;
      unit.LoseStore();
      close(master);
      pending.clear();
      reader = TSimRequestReader(strictFraming);
      const timespec off{0, 500 * 1000000};
      nanosleep(&off, nullptr);
      master = OpenLine(linkPath, slavePath);
      if (master < 0) return 1;
      std::fprintf(stderr, "vantel-sim: hung up while storing, back on %s\n", slavePath.c_str());
      last = Now();
      continue;
    }

    while (!pending.empty() && pending.front().Due <= now) {
      WriteAll(master, pending.front().Bytes.data(), pending.front().Bytes.size());
      pending.pop_front();
    }
    reader.Expire(now);

    int timeoutMs = 20;
    if (!pending.empty())
      timeoutMs = std::max(
          0, std::min(timeoutMs, static_cast<int>((pending.front().Due - now) * 1000) + 1));
    pollfd fds[2] = {{master, POLLIN, 0}, {STDIN_FILENO, POLLIN, 0}};
    const int count = poll(fds, stdinOpen ? 2 : 1, timeoutMs);
    if (count < 0) continue; // EINTR: the loop head sees a stop request
    if (stdinOpen && (fds[1].revents & (POLLIN | POLLHUP | POLLERR))) {
      const ssize_t got = read(STDIN_FILENO, buffer, sizeof buffer);
      if (got == 0 || (got < 0 && errno != EINTR && errno != EAGAIN)) break;
    }
    if (fds[0].revents & POLLIN) {
      // A few frames at a time, so a backlog never exceeds what the reader keeps.
      const ssize_t got = read(master, buffer, 16 * FrameSize);
      if (got > 0) {
        const double arrived = Now();
        reader.Feed(buffer, static_cast<std::size_t>(got), arrived);
        TLinkFrame request;
        while (reader.NextRequest(request)) {
          unit.HandleRequest(request.data(), reply);
          if (reply.empty()) continue;
          latencyRandom = latencyRandom * 1103515245u + 12345u;
          const double latency = 0.005 + static_cast<double>((latencyRandom >> 16) % 16) * 0.001;
          pending.push_back({arrived + latency, reply});
        }
      }
    } else if (fds[0].revents & (POLLHUP | POLLERR)) {
      // No program has the line open: wait instead of spinning on the hang-up.
      const timespec pause{0, 20 * 1000000};
      nanosleep(&pause, nullptr);
    }
  }

  close(master);
  // A simulator started later under the same name has made the link its own: leave it.
  if (!linkPath.empty()) {
    char target[4096] = {};
    if (readlink(linkPath.c_str(), target, sizeof target - 1) > 0 && slavePath == target)
      unlink(linkPath.c_str());
  }
  return 0;
}
