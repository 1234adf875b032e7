#include "link/PosixSerialPort.h"

#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include "link/Ticks.h"

namespace {

// A write that the driver refuses to take for this long (one tick of the program) counts as
// failed, so a stuck port never holds the window longer than a tick.
constexpr int WriteBoundMs = TickMs;

long long NowMs() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<long long>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

TFailureReport OpenFailure(const std::string& device, int code) {
  TFailure what = TFailure::PortFailed;
  if (code == EACCES || code == EPERM)
    what = TFailure::PortNoAccess;
  else if (code == EBUSY || code == EWOULDBLOCK)
    what = TFailure::PortBusy;
  else if (code == ENOENT)
    what = TFailure::PortMissing;
  return {what, device, {}, code};
}

} // namespace

TPosixSerialPort::~TPosixSerialPort() {
  Close();
}

bool TPosixSerialPort::Open(const std::string& device, TFailureReport& error) {
  Close();
  error = {};
  const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    error = OpenFailure(device, errno);
    return false;
  }
  auto fail = [&](int code) {
    error = OpenFailure(device, code);
    ::close(fd);
    return false;
  };
  // TIOCEXCL keeps other users out; the lock also keeps out cooperating programs that run
  // with privileges TIOCEXCL does not stop.
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) return fail(errno == EWOULDBLOCK ? EBUSY : errno);
  termios saved{};
  if (tcgetattr(fd, &saved) != 0) return fail(errno);
  if (ioctl(fd, TIOCEXCL) != 0) return fail(errno);

  termios line = saved;
  cfmakeraw(&line);
  cfsetispeed(&line, B57600);
  cfsetospeed(&line, B57600);
  line.c_cflag &= ~(CSIZE | PARENB | CSTOPB | CRTSCTS);
  line.c_cflag |= CS8 | CLOCAL | CREAD;
  line.c_iflag &= ~(IXON | IXOFF | IXANY);
  line.c_cc[VMIN] = 0;
  line.c_cc[VTIME] = 0;
  if (tcsetattr(fd, TCSANOW, &line) != 0) {
    const int code = errno;
    ioctl(fd, TIOCNXCL);
    return fail(code);
  }
  Fd = fd;
  Unsent.reserve(256); // a cut-off frame never allocates on the tick
  SavedTermios = saved;
  HaveSavedTermios = true;
  LineHungUp = false;
  Device = device;
  return true;
}

TPortCount TPosixSerialPort::Failed(int error) {
  if (error == EIO) LineHungUp = true;
  return {LineHungUp ? TPortStatus::HungUp : TPortStatus::IoError, 0};
}

TPortCount TPosixSerialPort::BytesWaiting() {
  if (Fd < 0) return {TPortStatus::NotOpen, 0};
  if (LineHungUp) return {TPortStatus::HungUp, 0};
  pollfd p{Fd, POLLIN, 0};
  if (poll(&p, 1, 0) < 0) return Failed(errno);
  if (p.revents & (POLLHUP | POLLERR | POLLNVAL)) {
    LineHungUp = true;
    return {TPortStatus::HungUp, 0};
  }
  int waiting = 0;
  if (ioctl(Fd, FIONREAD, &waiting) != 0) return Failed(errno);
  return Counted(waiting);
}

TPortCount TPosixSerialPort::Read(std::uint8_t* buffer, int max) {
  if (Fd < 0) return {TPortStatus::NotOpen, 0};
  if (LineHungUp) return {TPortStatus::HungUp, 0};
  if (buffer == nullptr || max <= 0) return {TPortStatus::NoData, 0};
  const ssize_t got = ::read(Fd, buffer, static_cast<std::size_t>(max));
  if (got < 0) return errno == EAGAIN || errno == EINTR ? Counted(0) : Failed(errno);
  return Counted(static_cast<int>(got));
}

bool TPosixSerialPort::WriteUntil(const std::uint8_t* data, int count, long long deadline,
                                  int& sent) {
  sent = 0;
  while (sent < count) {
    const ssize_t done = ::write(Fd, data + sent, static_cast<std::size_t>(count - sent));
    if (done > 0) {
      sent += static_cast<int>(done);
      continue;
    }
    if (done < 0 && errno == EINTR) continue;
    if (done < 0 && errno != EAGAIN) {
      if (errno == EIO) LineHungUp = true;
      return false;
    }
    const long long left = deadline - NowMs();
    if (left <= 0) return false;
    pollfd p{Fd, POLLOUT, 0};
    if (poll(&p, 1, static_cast<int>(left)) < 0 && errno != EINTR) return false;
    if (p.revents & (POLLHUP | POLLERR | POLLNVAL)) {
      LineHungUp = true;
      return false;
    }
  }
  return true;
}

bool TPosixSerialPort::Write(const std::uint8_t* data, int count) {
  if (Fd < 0 || LineHungUp || count < 0 || (data == nullptr && count > 0)) return false;
  const long long deadline = NowMs() + WriteBoundMs;
  int sent = 0;
  // The unit finds a frame only by its place in the byte stream: the rest of a frame that a
  // full queue cut off goes out before anything else, or every later frame would reach it
  // shifted. Dropping the queue instead cannot help, as part of it may already be beyond it.
  if (!Unsent.empty()) {
    const bool done = WriteUntil(Unsent.data(), static_cast<int>(Unsent.size()), deadline, sent);
    Unsent.erase(Unsent.begin(), Unsent.begin() + sent);
    if (!done) return false; // this frame is not queued at all
  }
  if (WriteUntil(data, count, deadline, sent)) return true;
  if (sent > 0 && !LineHungUp) Unsent.assign(data + sent, data + count);
  return false;
}

void TPosixSerialPort::SendUnsent() {
  if (Fd < 0 || LineHungUp || Unsent.empty()) return;
  int sent = 0;
  WriteUntil(Unsent.data(), static_cast<int>(Unsent.size()), NowMs(), sent);
  Unsent.erase(Unsent.begin(), Unsent.begin() + sent);
}

bool TPosixSerialPort::WaitSent(int timeoutMs) {
  if (Fd < 0 || LineHungUp) return false;
  // tcdrain would wait without bound; a pseudo-terminal may report its bytes as queued
  // until the far end reads them, so the wait is polled and bounded.
  const long long deadline = NowMs() + (timeoutMs > 0 ? timeoutMs : 0);
  for (;;) {
    int queued = 0;
    if (ioctl(Fd, TIOCOUTQ, &queued) != 0) return false;
    if (queued <= 0) return true;
    if (NowMs() >= deadline) return false;
    const timespec pause{0, 1000000};
    nanosleep(&pause, nullptr);
  }
}

void TPosixSerialPort::Close() {
  if (Fd < 0) return;
  // Abort pending input, put the line back as it was found, release it.
  tcflush(Fd, TCIFLUSH);
  if (HaveSavedTermios) tcsetattr(Fd, TCSANOW, &SavedTermios);
  ioctl(Fd, TIOCNXCL);
  ::close(Fd);
  Fd = -1;
  HaveSavedTermios = false;
  LineHungUp = false;
  Unsent.clear();
}
