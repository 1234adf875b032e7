// A file that grows row by row: readable as it grows, and ending with a whole row after a
// full disk or a size limit stopped it.
#include "files/RowFile.h"
#include "support/TempHomeTest.h"

#include <csignal>
#include <cstring>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <sched.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

const std::string Head = "time,rpm\r\n";
const std::string Row = "2026-12-09T17:07:31.042+01:00,6071\r\n";

using TRowFileTest = TTempHomeTest;

// Runs body in a child process with a tmpfs of `size` mounted on dir in a mount namespace of
// its own; 77 when the kernel allows no such namespace here. body returns "" when it passed.
int InPrivateTmpfs(const fs::path& dir, const char* size, std::string (*body)(const fs::path&),
                   std::string& message) {
  int report[2];
  if (::pipe(report) != 0) return -1;
  const pid_t child = ::fork();
  if (child < 0) return -1;
  if (child == 0) {
    ::close(report[0]);
    auto finish = [&](int code, const std::string& text) {
      if (!text.empty() && ::write(report[1], text.data(), text.size()) < 0) code = 3;
      ::_exit(code);
    };
    auto put = [](const char* file, const std::string& text) {
      const int fd = ::open(file, O_WRONLY);
      const bool done = fd >= 0 && ::write(fd, text.data(), text.size()) == ssize_t(text.size());
      if (fd >= 0) ::close(fd);
      return done;
    };
    const std::string options = std::string("size=") + size;
    // Root (as in CI) needs only a mount namespace; anyone else a user namespace as well,
    // which some containers forbid.
    const bool root = ::geteuid() == 0 && ::unshare(CLONE_NEWNS) == 0;
    if ((!root && (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0 ||
                   !put("/proc/self/uid_map", "0 " + std::to_string(::getuid()) + " 1") ||
                   !put("/proc/self/setgroups", "deny") ||
                   !put("/proc/self/gid_map", "0 " + std::to_string(::getgid()) + " 1"))) ||
        ::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        ::mount("tmpfs", dir.c_str(), "tmpfs", 0, options.c_str()) != 0)
      finish(77, std::strerror(errno));
    const std::string failed = body(dir);
    finish(failed.empty() ? 0 : 1, failed);
  }
  ::close(report[1]);
  char buffer[512];
  for (ssize_t got; (got = ::read(report[0], buffer, sizeof buffer)) > 0;)
    message.append(buffer, got);
  ::close(report[0]);
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Every line of the file whole, and as many as were reported written.
std::string CheckWholeRows(const std::string& text, long rows) {
  if (text.rfind(Head, 0) != 0) return "the head is gone";
  if ((text.size() - Head.size()) % Row.size() != 0) return "a partial row at the end";
  if (long((text.size() - Head.size()) / Row.size()) != rows) return "rows lost";
  for (std::size_t at = Head.size(); at < text.size(); at += Row.size())
    if (text.compare(at, Row.size(), Row) != 0) return "a damaged row";
  return {};
}

} // namespace

TEST_F(TRowFileTest, EachRowIsInTheFileAsSoonAsItIsAppended) {
  const std::string path = (dir / "live.csv").string();
  Put(path, "an older recording that is replaced\n");
  TRowFile file;
  TFailureReport failure;
  ASSERT_TRUE(file.Start(path, Head, failure)) << DescribeFailure(failure, LangEnglish);
  EXPECT_TRUE(file.IsOpen());
  EXPECT_EQ(file.Path(), path);
  EXPECT_EQ(Slurp(path), Head);
  ASSERT_TRUE(file.Append(Row, failure));
  EXPECT_EQ(Slurp(path), Head + Row) << "readable while the recording goes on";
  ASSERT_TRUE(file.Append(Row, failure));
  file.Close();
  EXPECT_FALSE(file.IsOpen());
  EXPECT_EQ(Slurp(path), Head + Row + Row);
  EXPECT_FALSE(file.Append(Row, failure)) << "nothing after the end";
}

TEST_F(TRowFileTest, ASizeLimitStopsItAfterTheLastWholeRow) {
  const std::string path = (dir / "live.csv").string();
  TRowFile file;
  TFailureReport failure;
  ASSERT_TRUE(file.Start(path, Head, failure));
  rlimit limit{};
  ::getrlimit(RLIMIT_FSIZE, &limit);
  const rlimit small{Head.size() + 2 * Row.size() + Row.size() / 2, limit.rlim_max};
  const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  ::setrlimit(RLIMIT_FSIZE, &small);
  const bool first = file.Append(Row, failure);
  const bool second = file.Append(Row, failure);
  const bool third = file.Append(Row, failure);
  ::setrlimit(RLIMIT_FSIZE, &limit);
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_TRUE(first && second);
  EXPECT_FALSE(third);
  EXPECT_EQ(failure.What, TFailure::NotWritten);
  EXPECT_EQ(failure.Errno, EFBIG);
  EXPECT_EQ(failure.Path, path);
  EXPECT_FALSE(file.IsOpen()) << "a failed row ends the recording";
  EXPECT_EQ(CheckWholeRows(Slurp(path), 2), "");
}

TEST_F(TRowFileTest, AFullDiskStopsItAfterTheLastWholeRow) {
  std::string message;
  const int status = InPrivateTmpfs(
      dir, "16k",
      [](const fs::path& mnt) -> std::string {
        const std::string path = (mnt / "live.csv").string();
        TRowFile file;
        TFailureReport failure;
        if (!file.Start(path, Head, failure))
          return "start: " + DescribeFailure(failure, LangEnglish);
        long rows = 0;
        while (rows < 100000 && file.Append(Row, failure)) ++rows;
        if (failure.What != TFailure::NotWritten || failure.Errno != ENOSPC)
          return "full disk: " + DescribeFailure(failure, LangEnglish);
        if (file.IsOpen()) return "still open";
        return CheckWholeRows(TTempHomeTest::Slurp(path), rows);
      },
      message);
  if (status == 77) GTEST_SKIP() << "no private tmpfs here: " << message;
  EXPECT_EQ(status, 0) << message;
}
