#include "files/SafeWrite.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string Reason(const std::string& path, const std::string& what, int err) {
  return path + ": " + what + ": " + std::strerror(err);
}

bool WriteAll(int fd, std::string_view content) {
  while (!content.empty()) {
    const ssize_t n = ::write(fd, content.data(), content.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    content.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

} // namespace

bool WriteFileSafely(const std::string& path, std::string_view content, std::string& error) {
  // Through a symbolic link the link's target is replaced, not the link.
  std::error_code ec;
  fs::path target(path);
  if (fs::is_symlink(fs::symlink_status(target, ec))) {
    const fs::path resolved = fs::weakly_canonical(target, ec);
    if (!ec) target = resolved;
  }

  fs::path dir = target.parent_path();
  if (dir.empty()) dir = ".";
  ec.clear();
  fs::create_directories(dir, ec);
  if (ec) {
    error = Reason(path, "cannot create the directory " + dir.string(), ec.value());
    return false;
  }

  std::string temp = (dir / ("." + target.filename().string() + ".XXXXXX")).string();
  const int fd = ::mkstemp(temp.data());
  if (fd < 0) {
    error = Reason(path, "cannot create a temporary file", errno);
    return false;
  }

  // Keep the old file's permissions; a new file gets the usual ones, not mkstemp's 0600.
  struct stat old {};
  const mode_t mode = ::stat(target.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644;
  ::fchmod(fd, mode);

  int err = 0;
  const char* what = "";
  if (!WriteAll(fd, content)) {
    err = errno;
    what = "cannot write";
  } else if (::fsync(fd) != 0) {
    err = errno;
    what = "cannot write to disk";
  }
  if (::close(fd) != 0 && err == 0) {
    err = errno;
    what = "cannot write";
  }
  if (err == 0 && ::rename(temp.c_str(), target.c_str()) != 0) {
    err = errno;
    what = "cannot replace the file";
  }
  if (err != 0) {
    ::unlink(temp.c_str());
    error = Reason(path, what, err);
    return false;
  }

  // The rename itself reaches the disk with the directory.
  const int dirFd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY);
  if (dirFd >= 0) {
    ::fsync(dirFd);
    ::close(dirFd);
  }
  return true;
}
