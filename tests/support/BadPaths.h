// What may stand where the program expects a file it did not write itself: each must be
// survived without an exception, a hang or an endless read.
#pragma once

#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

enum class TBadPath { Folder, Pipe, Unreadable, Vanished, Endless };

struct TBadPathKind {
  TBadPath Kind;
  const char* Name;
};

inline constexpr TBadPathKind BadPathKinds[] = {{TBadPath::Folder, "folder"},
                                                {TBadPath::Pipe, "named pipe"},
                                                {TBadPath::Unreadable, "no read permission"},
                                                {TBadPath::Vanished, "vanished"},
                                                {TBadPath::Endless, "endless device"}};

// Puts one in place of path; false when that kind cannot be had here (permission bits do
// not stop root).
inline bool PlaceBadPath(TBadPath kind, const std::string& path, const std::string& content = "x") {
  switch (kind) {
  case TBadPath::Folder:
    return ::mkdir(path.c_str(), 0755) == 0;
  case TBadPath::Pipe:
    return ::mkfifo(path.c_str(), 0644) == 0;
  case TBadPath::Unreadable: {
    if (::geteuid() == 0) return false;
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) return false;
    const bool written = ::write(fd, content.data(), content.size()) == ssize_t(content.size());
    return ::close(fd) == 0 && written && ::chmod(path.c_str(), 0) == 0;
  }
  case TBadPath::Vanished: // a link to a file that has gone
    return ::symlink((path + ".gone").c_str(), path.c_str()) == 0;
  case TBadPath::Endless:
    return ::symlink("/dev/zero", path.c_str()) == 0;
  }
  return false;
}
