#include "files/SafeRead.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool Fail(TFailureReport& failure, TFailure what, const std::string& path, int err) {
  failure = {what, path, {}, err};
  return false;
}

int FailOpen(TFailureReport& failure, TFailure what, const std::string& path, int err) {
  Fail(failure, what, path, err);
  return -1;
}

} // namespace

int OpenFileSafely(const std::string& path, TFailureReport& failure, std::size_t maxBytes) {
  failure = {};
  // Looked at before it is opened: opening a named pipe waits for a writer, and opening a
  // serial device moves its lines.
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return FailOpen(failure, TFailure::NotOpened, path, errno);
  if (!S_ISREG(info.st_mode))
    return FailOpen(failure, TFailure::NotAFile, path, S_ISDIR(info.st_mode) ? EISDIR : 0);
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return FailOpen(failure, TFailure::NotOpened, path, errno);
  // It may have been swapped for something else since.
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return FailOpen(failure, TFailure::NotAFile, path, 0);
  }
  if (static_cast<unsigned long long>(info.st_size) > maxBytes) {
    ::close(fd);
    return FailOpen(failure, TFailure::TooLarge, path, EFBIG);
  }
  return fd;
}

bool ReadFileSafely(const std::string& path, std::string& content, TFailureReport& failure,
                    std::size_t maxBytes) {
  content.clear();
  const int fd = OpenFileSafely(path, failure, maxBytes);
  if (fd < 0) return false;
  struct stat info {};
  if (::fstat(fd, &info) != 0) info.st_size = 0;
  content.reserve(static_cast<std::size_t>(info.st_size));
  char buffer[8192];
  for (;;) {
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got == 0) break;
    if (got < 0) {
      if (errno == EINTR) continue;
      const int err = errno;
      ::close(fd);
      content.clear();
      return Fail(failure, TFailure::NotRead, path, err);
    }
    // A file that grows while it is read stops at the limit.
    if (content.size() + static_cast<std::size_t>(got) > maxBytes) {
      ::close(fd);
      content.clear();
      return Fail(failure, TFailure::TooLarge, path, EFBIG);
    }
    content.append(buffer, static_cast<std::size_t>(got));
  }
  ::close(fd);
  return true;
}
