#include "files/SafeWrite.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

bool Fail(TFailureReport& failure, TFailure what, const std::string& path, int err,
          const std::string& folder = {}) {
  failure = {what, path, folder, err};
  return false;
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

// Where the text goes and what stands there now.
struct TTarget {
  fs::path File;
  fs::path Folder;
  bool Exists = false;
  struct stat Old {};
};

// The checks of the one rule, before anything is written.
bool PrepareTarget(const std::string& path, TFolder folder, TTarget& target,
                   TFailureReport& failure) {
  // Through a symbolic link its target is written, even one that has gone: the user's
  // link stays.
  std::error_code ec;
  target.File = path;
  for (int depth = 0; depth < 40 && fs::is_symlink(fs::symlink_status(target.File, ec)); ++depth) {
    const fs::path link = fs::read_symlink(target.File, ec);
    if (ec) break;
    target.File = link.is_absolute() ? link : target.File.parent_path() / link;
  }
  target.Folder = target.File.parent_path();
  if (target.Folder.empty()) target.Folder = ".";

  target.Exists = ::stat(target.File.c_str(), &target.Old) == 0;
  if (target.Exists) {
    // A folder, a pipe or a device in the file's place is never replaced by a file.
    if (!S_ISREG(target.Old.st_mode))
      return Fail(failure, TFailure::NotAFile, path, S_ISDIR(target.Old.st_mode) ? EISDIR : 0);
    const int probe = ::open(target.File.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (probe < 0) return Fail(failure, TFailure::NotWritable, path, errno);
    ::close(probe);
    return true;
  }

  struct stat dir {};
  if (::stat(target.Folder.c_str(), &dir) == 0) {
    if (S_ISDIR(dir.st_mode)) return true;
    return folder == TFolder::Create
               ? Fail(failure, TFailure::FolderNotCreated, path, ENOTDIR, target.Folder.string())
               : Fail(failure, TFailure::NotOpened, path, ENOTDIR);
  }
  // A folder that vanished is not made again behind the user's back; only the settings
  // folder is created when first written.
  if (folder == TFolder::MustExist) return Fail(failure, TFailure::NotOpened, path, ENOENT);
  fs::create_directories(target.Folder, ec);
  if (ec)
    return Fail(failure, TFailure::FolderNotCreated, path, ec.value(), target.Folder.string());
  return true;
}

// A new file beside the target, made with 0666 so that the umask (and a default ACL of
// the folder) decide its permissions as for any new file.
int CreateTemporary(const TTarget& target, std::string& name) {
  static unsigned counter = 0;
  for (int attempt = 0; attempt < 100; ++attempt) {
    char suffix[48];
    std::snprintf(suffix, sizeof suffix, ".%ld.%u.tmp", static_cast<long>(::getpid()), ++counter);
    // Appended piece by piece: "." + name makes gcc 12 warn falsely of overlapping copies.
    std::string hidden = ".";
    hidden += target.File.filename().string();
    hidden += suffix;
    name = (target.Folder / hidden).string();
    const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  errno = EEXIST;
  return -1;
}

} // namespace

bool CheckReplaceable(const std::string& path, TFailureReport& failure) {
  failure = {};
  TTarget target;
  if (!PrepareTarget(path, TFolder::MustExist, target, failure)) return false;
  std::string temp;
  const int fd = CreateTemporary(target, temp);
  if (fd < 0) return Fail(failure, TFailure::TempNotCreated, path, errno);
  ::close(fd);
  ::unlink(temp.c_str());
  return true;
}

bool WriteFileSafely(const std::string& path, std::string_view content, TFailureReport& failure,
                     TFolder folder) {
  failure = {};
  TTarget target;
  if (!PrepareTarget(path, folder, target, failure)) return false;
  std::string temp;
  const int fd = CreateTemporary(target, temp);
  if (fd < 0) return Fail(failure, TFailure::TempNotCreated, path, errno);

  if (target.Exists) {
    // The replaced file keeps its permissions, and its owner where we may give it.
    ::fchmod(fd, target.Old.st_mode & 07777);
    if (::geteuid() == 0) {
      const int owned = ::fchown(fd, target.Old.st_uid, target.Old.st_gid);
      (void)owned; // else the file is root's, still readable as its mode says
    }
  }

  int err = 0;
  TFailure what = TFailure::None;
  if (!WriteAll(fd, content)) {
    err = errno;
    what = TFailure::NotWritten;
  } else if (::fsync(fd) != 0) {
    err = errno;
    what = TFailure::NotOnDisk;
  }
  if (::close(fd) != 0 && err == 0) {
    err = errno;
    what = TFailure::NotWritten;
  }
  if (err == 0 && ::rename(temp.c_str(), target.File.c_str()) != 0) {
    err = errno;
    what = TFailure::NotReplaced;
  }
  if (err != 0) {
    ::unlink(temp.c_str());
    return Fail(failure, what, path, err);
  }

  // The rename itself reaches the disk with the folder.
  const int dirFd = ::open(target.Folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dirFd >= 0) {
    ::fsync(dirFd);
    ::close(dirFd);
  }
  return true;
}
