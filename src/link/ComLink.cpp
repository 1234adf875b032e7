#include "link/ComLink.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool Fail(TFailureReport& failure, TFailure what, const std::string& path, int code,
          const std::string& folder = {}) {
  failure = {what, path, folder, code};
  return false;
}

bool IsLinkOrMissing(const std::string& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) != 0 ? errno == ENOENT : S_ISLNK(info.st_mode);
}

} // namespace

bool WriteComLink(const std::string& folder, int n, const std::string& target,
                  TFailureReport& failure) {
  failure = {};
  const std::string link = folder + "/com" + std::to_string(n);
  if (n < 1 || n > 10 || target.empty()) return Fail(failure, TFailure::NotWritten, link, EINVAL);
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (ec) return Fail(failure, TFailure::FolderNotCreated, link, ec.value(), folder);
  if (!IsLinkOrMissing(link)) return Fail(failure, TFailure::NotALink, link, 0);

  // The new link under a name of its own first, then renamed over the old one.
  std::string temp;
  static unsigned counter = 0;
  for (int attempt = 0;; ++attempt) {
    char suffix[48];
    std::snprintf(suffix, sizeof suffix, ".%ld.%u.tmp", static_cast<long>(::getpid()), ++counter);
    temp = folder + "/.com" + std::to_string(n) + suffix;
    if (::symlink(target.c_str(), temp.c_str()) == 0) break;
    if (errno != EEXIST || attempt >= 100) return Fail(failure, TFailure::NotWritten, link, errno);
  }
  // Swapped rather than renamed over: what comes back under the temporary name shows what
  // stood there in that very moment, and a file the user put there meanwhile goes back.
  if (::renameat2(AT_FDCWD, temp.c_str(), AT_FDCWD, link.c_str(), RENAME_EXCHANGE) == 0) {
    if (!IsLinkOrMissing(temp)) {
      ::renameat2(AT_FDCWD, temp.c_str(), AT_FDCWD, link.c_str(), RENAME_EXCHANGE);
      ::unlink(temp.c_str());
      return Fail(failure, TFailure::NotALink, link, 0);
    }
    ::unlink(temp.c_str());
    return true;
  }
  // Nothing there to swap with: a rename that never replaces. A file system that cannot
  // swap, or a link that came meanwhile: checked once more, then renamed over.
  if (errno == ENOENT &&
      ::renameat2(AT_FDCWD, temp.c_str(), AT_FDCWD, link.c_str(), RENAME_NOREPLACE) == 0)
    return true;
  if (errno == EINVAL || errno == ENOSYS || errno == EEXIST) {
    if (!IsLinkOrMissing(link)) {
      ::unlink(temp.c_str());
      return Fail(failure, TFailure::NotALink, link, 0);
    }
    if (::rename(temp.c_str(), link.c_str()) == 0) return true;
  }
  const int code = errno;
  ::unlink(temp.c_str());
  return Fail(failure, TFailure::NotReplaced, link, code);
}
