// Restore points on disk: their names, the byte-exact parameter file, never an old one
// replaced, the newest first, and a data folder that takes nothing.
#include "files/IgnFile.h"
#include "files/RestorePoints.h"
#include "support/TempHomeTest.h"
#include "model/Defaults.h"

#include <csignal>
#include <sstream>
#include <sys/resource.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

TUnitIdentity Identity(const char* version, const char* date, const char* time) {
  return {version, date, time};
}

std::tm Local(int year, int month, int day, int hour, int minute, int second) {
  std::tm t{};
  t.tm_year = year - 1900;
  t.tm_mon = month - 1;
  t.tm_mday = day;
  t.tm_hour = hour;
  t.tm_min = minute;
  t.tm_sec = second;
  t.tm_isdst = -1;
  return t;
}

std::time_t When(int hour, int minute, int second) {
  std::tm t = Local(2024, 3, 14, hour, minute, second);
  return std::mktime(&t);
}

std::string IgnText(const TIgnParams& p) {
  std::ostringstream out(std::ios::binary);
  WriteIgnFile(out, p);
  return out.str();
}

TIgnParams Tune(std::uint8_t baseAdvance) {
  TIgnParams p{};
  LoadDefaultParams(p);
  p.BaseAdv = baseAdvance;
  return p;
}

int Files(const fs::path& root) {
  int n = 0;
  std::error_code ec;
  for (auto it = fs::recursive_directory_iterator(root, ec); !ec && it != fs::end(it); ++it)
    n += it->is_regular_file();
  return n;
}

} // namespace

TEST(RestorePointNames, UnitFolderAndFileNamesAreSafeAndSortByTime) {
  struct {
    TUnitIdentity Id;
    const char* Folder;
  } const units[] = {
      {Identity("VNT12", "14. 3.2024", "12:30"), "VNT12_14.3.2024_12-30"},
      {Identity("My unit/v2", " 5.10.2007", "08:05"), "My_unit_v2_5.10.2007_08-05"},
      {Identity("..", "", ""), "unit"},
      {Identity("", "", ""), "unit"},
      {Identity(".hidden", "\xE9t\xE9", ""), "hidden_t"},
  };
  for (const auto& u : units) EXPECT_EQ(UnitFolderName(u.Id), u.Folder) << u.Id.UnitVersionText;
  EXPECT_EQ(RestorePointFileName(Local(2024, 3, 14, 9, 5, 7), TRestoreKind::Read),
            "2024-03-14_09-05-07-read.ign");
  EXPECT_EQ(RestorePointFileName(Local(2031, 12, 1, 23, 59, 0), TRestoreKind::Programmed, 2),
            "2031-12-01_23-59-00-2-programmed.ign");
}

TEST_F(TTempHomeTest, RestorePointsAreTheParameterFileNeverReplacedListedNewestFirst) {
  const std::string root = (dir / "restore-points").string();
  const TUnitIdentity unit = Identity("VNT12", "14. 3.2024", "12:30");
  const TUnitIdentity other = Identity("XYZ1", " 1.10.2007", "09:05");
  struct {
    const TUnitIdentity* Unit;
    std::uint8_t Tune;
    TRestoreKind Kind;
    std::time_t When;
    const char* Name;
  } const written[] = {
      {&unit, 10, TRestoreKind::Read, When(12, 0, 0),
       "VNT12_14.3.2024_12-30/2024-03-14_12-00-00-read.ign"},
      {&unit, 11, TRestoreKind::Programmed, When(12, 0, 0),
       "VNT12_14.3.2024_12-30/2024-03-14_12-00-00-programmed.ign"},
      {&unit, 12, TRestoreKind::Programmed, When(12, 0, 0),
       "VNT12_14.3.2024_12-30/2024-03-14_12-00-00-2-programmed.ign"},
      {&other, 13, TRestoreKind::Read, When(13, 0, 0),
       "XYZ1_1.10.2007_09-05/2024-03-14_13-00-00-read.ign"},
      {&unit, 14, TRestoreKind::Read, When(11, 0, 0),
       "VNT12_14.3.2024_12-30/2024-03-14_11-00-00-read.ign"},
  };
  for (const auto& w : written) {
    std::string path;
    TFailureReport failure;
    ASSERT_TRUE(WriteRestorePoint(root, *w.Unit, Tune(w.Tune), w.Kind, w.When, path, failure))
        << DescribeFailure(failure, LangEnglish);
    EXPECT_EQ(path, root + "/" + w.Name);
    EXPECT_EQ(Slurp(path), IgnText(Tune(w.Tune))) << "byte for byte the parameter file";
  }
  // Nothing else in the folders disturbs the list.
  Put(root + "/VNT12_14.3.2024_12-30/notes.txt", "mine");
  Put(root + "/VNT12_14.3.2024_12-30/2024-03-14_12-00-00-read.ign~", "backup of an editor");
  Put(root + "/stray-file.ign", "");
  fs::create_directories(root + "/VNT12_14.3.2024_12-30/2024-03-14_10-00-00-read.ign");

  const std::vector<TRestorePoint> list = ListRestorePoints(root);
  const int newestFirst[] = {3, 2, 1, 0, 4};
  ASSERT_EQ(list.size(), std::size(newestFirst));
  for (std::size_t i = 0; i < list.size(); ++i) {
    const auto& w = written[newestFirst[i]];
    EXPECT_EQ(list[i].Path, root + "/" + w.Name) << i;
    EXPECT_EQ(list[i].Unit, UnitFolderName(*w.Unit));
    EXPECT_EQ(list[i].Kind, w.Kind);
  }
  EXPECT_EQ(list[0].Stamp, "2024-03-14 13:00:00");
  EXPECT_TRUE(ListRestorePoints((dir / "none").string()).empty());
}

// A data folder that takes nothing, and a disk that fills: a report, and no file behind.
TEST_F(TTempHomeTest, AFolderThatTakesNothingIsReportedAndLeavesNoFile) {
  const std::string root = (dir / "restore-points").string();
  const TUnitIdentity unit = Identity("VNT12", "14. 3.2024", "12:30");
  std::string path;
  TFailureReport failure;

  Put(root, "a file where the folder belongs");
  EXPECT_FALSE(
      WriteRestorePoint(root, unit, Tune(10), TRestoreKind::Read, When(12, 0, 0), path, failure));
  EXPECT_EQ(failure.What, TFailure::FolderNotCreated);
  EXPECT_EQ(Slurp(root), "a file where the folder belongs");
  fs::remove(root);

  if (::geteuid() != 0) {
    fs::create_directories(root);
    fs::permissions(root, fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_FALSE(
        WriteRestorePoint(root, unit, Tune(10), TRestoreKind::Read, When(12, 0, 0), path, failure));
    EXPECT_EQ(failure.What, TFailure::FolderNotCreated);
    fs::permissions(root, fs::perms::owner_all);
  }

  rlimit limit{}, small{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &limit), 0);
  small = limit;
  small.rlim_cur = 64;
  const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  setrlimit(RLIMIT_FSIZE, &small);
  const bool written =
      WriteRestorePoint(root, unit, Tune(10), TRestoreKind::Read, When(12, 0, 0), path, failure);
  setrlimit(RLIMIT_FSIZE, &limit);
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_FALSE(written);
  EXPECT_EQ(failure.What, TFailure::NotWritten);
  EXPECT_EQ(Files(root), 0);
}
