// Reading what the program did not write, and the one rule for every file it writes.
#include "support/BadPaths.h"
#include "files/Profile.h"
#include "files/SafeRead.h"
#include "files/SafeWrite.h"
#include "files/StateFile.h"
#include "support/TempHomeTest.h"

#include <csignal>
#include <cstring>
#include <functional>
#include <sys/mount.h>
#include <sys/wait.h>

#include <sched.h>

namespace fs = std::filesystem;

namespace {

struct TSafeFileTest : TTempHomeTest {
  // Ends the test program if a read hangs, rather than the whole run at its time limit.
  void SetUp() override {
    TTempHomeTest::SetUp();
    std::signal(SIGALRM, SIG_DFL);
    ::alarm(30);
  }
  void TearDown() override {
    ::alarm(0);
    TTempHomeTest::TearDown();
  }
  int Entries() const {
    return static_cast<int>(std::distance(fs::directory_iterator(dir), fs::directory_iterator{}));
  }
};

mode_t Mode(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 0;
}

} // namespace

TEST_F(TSafeFileTest, WhatIsNoReadableFileIsAFailureNeverAHang) {
  struct {
    TBadPath Kind;
    TFailure What;
    int Errno;
  } const cases[] = {{TBadPath::Folder, TFailure::NotAFile, EISDIR},
                     {TBadPath::Pipe, TFailure::NotAFile, 0},
                     {TBadPath::Unreadable, TFailure::NotOpened, EACCES},
                     {TBadPath::Vanished, TFailure::NotOpened, ENOENT},
                     {TBadPath::Endless, TFailure::NotAFile, 0}};
  for (const auto& c : cases) {
    const std::string path = (dir / ("f" + std::to_string(int(c.Kind)))).string();
    if (!PlaceBadPath(c.Kind, path)) continue;
    SCOPED_TRACE(path);
    std::string content = "old";
    TFailureReport failure;
    EXPECT_FALSE(ReadFileSafely(path, content, failure));
    EXPECT_EQ(failure.What, c.What);
    EXPECT_EQ(failure.Errno, c.Errno);
    EXPECT_EQ(failure.Path, path);
    EXPECT_TRUE(content.empty());
  }
  const std::string big = (dir / "big").string();
  Put(big, "");
  fs::resize_file(big, ReadLimitBytes + 1);
  std::string content;
  TFailureReport failure;
  EXPECT_FALSE(ReadFileSafely(big, content, failure));
  EXPECT_EQ(failure.What, TFailure::TooLarge);
  fs::resize_file(big, 10);
  EXPECT_TRUE(ReadFileSafely(big, content, failure));
  EXPECT_EQ(content, std::string(10, '\0'));
}

// .ign files, the settings file and the state file: a new file gets 0666 less the umask, a
// replaced one keeps its permissions, one that cannot be opened for writing is left as it
// is, and nothing but a regular file is ever replaced.
TEST_F(TSafeFileTest, OneWriteRuleForEveryWrittenFile) {
  const std::pair<const char*, std::function<bool(const std::string&, TFailureReport&)>> writers[] =
      {{"parameter file",
        [](const std::string& path, TFailureReport& f) {
          return WriteFileSafely(path, "ZANDERIX_KEY  67 ", f);
        }},
       {"settings file",
        [](const std::string& path, TFailureReport& f) {
          TProfileFile ini(path);
          ini.WriteInteger("FORM_HLAV", "Left", 7);
          return ini.Flush(f);
        }},
       {"state file", [](const std::string& path, TFailureReport& f) {
          return WriteStateFile(path, TDeviceImage{}, f);
        }}};
  const bool root = ::geteuid() == 0;
  for (const auto& [name, write] : writers) {
    SCOPED_TRACE(name);
    const std::string path = (dir / "file").string();
    TFailureReport failure;
    for (const mode_t mask : {077, 022, 002}) {
      fs::remove(path);
      const mode_t old = ::umask(mask);
      EXPECT_TRUE(write(path, failure)) << DescribeFailure(failure, LangEnglish);
      ::umask(old);
      EXPECT_EQ(Mode(path), 0666 & ~mask) << std::oct << mask;
    }
    for (const mode_t mode : {0640, 0604, 0444}) {
      Put(path, "old");
      ::chmod(path.c_str(), mode);
      const bool written = write(path, failure);
      EXPECT_EQ(Mode(path), mode) << std::oct << mode;
      if (mode == 0444 && !root) {
        EXPECT_FALSE(written);
        EXPECT_EQ(failure.What, TFailure::NotWritable);
        EXPECT_EQ(failure.Errno, EACCES);
        EXPECT_EQ(Slurp(path), "old");
      } else {
        EXPECT_TRUE(written) << DescribeFailure(failure, LangEnglish);
        EXPECT_NE(Slurp(path), "old");
      }
      ::chmod(path.c_str(), 0644);
    }
    fs::remove(path);
    fs::create_directory(path);
    EXPECT_FALSE(write(path, failure));
    EXPECT_EQ(failure.What, TFailure::NotAFile);
    EXPECT_TRUE(fs::is_directory(path));
    fs::remove(path);
    fs::create_symlink("/dev/null", path);
    EXPECT_FALSE(write(path, failure));
    EXPECT_EQ(failure.What, TFailure::NotAFile);
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
    fs::remove(path);
    EXPECT_EQ(Entries(), 0) << "no temporary file left behind";
  }
}

// On a real, tiny file system of its own (a mount namespace, where the kernel allows one):
// a full disk and a file system mounted read-only leave the old file byte for byte.
TEST_F(TSafeFileTest, FullDiskAndReadOnlyFileSystemKeepTheOldFile) {
  int report[2];
  ASSERT_EQ(::pipe(report), 0);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ::close(report[0]);
    auto finish = [&](int code, const std::string& message) {
      if (!message.empty() && ::write(report[1], message.data(), message.size()) < 0) code = 3;
      ::_exit(code);
    };
    const std::string mnt = dir.string();
    // Ourselves, as the namespace's root, so our files have an owner there.
    const std::string uidMap = "0 " + std::to_string(::getuid()) + " 1";
    const std::string gidMap = "0 " + std::to_string(::getgid()) + " 1";
    auto put = [](const char* file, const std::string& text) {
      const int fd = ::open(file, O_WRONLY);
      const bool done = fd >= 0 && ::write(fd, text.data(), text.size()) == ssize_t(text.size());
      if (fd >= 0) ::close(fd);
      return done;
    };
    if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0 || !put("/proc/self/uid_map", uidMap) ||
        !put("/proc/self/setgroups", "deny") || !put("/proc/self/gid_map", gidMap) ||
        ::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        ::mount("tmpfs", mnt.c_str(), "tmpfs", 0, "size=64k") != 0)
      finish(77, std::strerror(errno));
    const std::string path = mnt + "/bike.ign", old = "ZANDERIX_KEY  67 \r\nBASE_ADV 5 ";
    TFailureReport failure;
    if (!WriteFileSafely(path, old, failure)) finish(1, DescribeFailure(failure, LangEnglish));
    std::string text;
    if (WriteFileSafely(path, std::string(200 * 1024, 'x'), failure) ||
        failure.What != TFailure::NotWritten || failure.Errno != ENOSPC ||
        !ReadFileSafely(path, text, failure) || text != old)
      finish(1, "full disk: " + DescribeFailure(failure, LangEnglish));
    if (std::distance(fs::directory_iterator(mnt), fs::directory_iterator{}) != 1)
      finish(1, "a temporary file was left on the full disk");
    if (::mount(nullptr, mnt.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) != 0)
      finish(77, std::strerror(errno));
    if (WriteFileSafely(path, "new", failure) || failure.What != TFailure::NotWritable ||
        failure.Errno != EROFS || !ReadFileSafely(path, text, failure) || text != old)
      finish(1, "read-only: " + DescribeFailure(failure, LangEnglish));
    finish(0, "");
  }
  ::close(report[1]);
  std::string message;
  char buffer[512];
  for (ssize_t got; (got = ::read(report[0], buffer, sizeof buffer)) > 0;)
    message.append(buffer, got);
  ::close(report[0]);
  int status = 0;
  ::waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  if (WEXITSTATUS(status) == 77) GTEST_SKIP() << "no private tmpfs here: " << message;
  EXPECT_EQ(WEXITSTATUS(status), 0) << message;
}
