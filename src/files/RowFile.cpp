#include "files/RowFile.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "files/SafeWrite.h"

bool TRowFile::Start(const std::string& path, std::string_view head, TFailureReport& failure) {
  Close();
  failure = {};
  if (!WriteFileSafely(path, head, failure)) return false;
  const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_NOCTTY | O_CLOEXEC);
  struct stat st {};
  if (fd < 0 || ::fstat(fd, &st) != 0) {
    failure = {TFailure::NotWritable, path, {}, errno};
    if (fd >= 0) ::close(fd);
    return false;
  }
  Fd = fd;
  FilePath = path;
  Length = static_cast<long long>(st.st_size);
  return true;
}

bool TRowFile::Append(std::string_view row, TFailureReport& failure) {
  if (Fd < 0) {
    failure = {TFailure::NotWritten, FilePath, {}, EBADF};
    return false;
  }
  std::string_view rest = row;
  while (!rest.empty()) {
    const ssize_t n = ::write(Fd, rest.data(), rest.size());
    if (n > 0) {
      rest.remove_prefix(static_cast<std::size_t>(n));
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    failure = {TFailure::NotWritten, FilePath, {}, n < 0 ? errno : ENOSPC};
    // A full disk or a size limit may have taken part of the row: that part goes again, so
    // the file ends with the last whole row.
    [[maybe_unused]] const int cut = ::ftruncate(Fd, static_cast<off_t>(Length));
    Close();
    return false;
  }
  Length += static_cast<long long>(row.size());
  return true;
}

void TRowFile::Close() {
  if (Fd >= 0) ::close(Fd);
  Fd = -1;
}
