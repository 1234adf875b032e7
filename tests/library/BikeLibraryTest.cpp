#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <sqlite3.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "files/RestorePoints.h"
#include "library/BikeExport.h"
#include "library/BikeLibrary.h"
#include "model/Defaults.h"
#include "support/TempHomeTest.h"

namespace fs = std::filesystem;

namespace {

struct BikeLibraryTest : TTempHomeTest {
  std::string DbPath() const { return (dir / "data/vantel/bikes.sqlite").string(); }
  std::string Restore() const { return (dir / "data/vantel/restore-points").string(); }

  void OpenLibrary(TBikeLibrary& library, TBikeLibrary::TOpenReport* report = nullptr) {
    TBikeLibrary::TOpenReport r;
    TLibraryFailure failure;
    ASSERT_TRUE(library.Open(DbPath(), Restore(), r, failure)) << failure.Detail;
    if (report != nullptr) *report = r;
  }

  TBike Add(TBikeLibrary& library, const std::string& name, const std::string& notes = {}) {
    TBike bike;
    bike.Name = name;
    bike.Notes = notes;
    TLibraryFailure failure;
    EXPECT_TRUE(library.AddBike(bike, failure)) << name << ": " << failure.Detail;
    return bike;
  }

  std::string WriteRestore(const std::string& unitName, TRestoreKind kind, std::time_t when) {
    TUnitIdentity id{unitName, " 5. 3.2007", "08:05"};
    TIgnParams params{};
    LoadDefaultParams(params);
    std::string path;
    TFailureReport failure;
    EXPECT_TRUE(WriteRestorePoint(Restore(), id, params, kind, when, path, failure));
    return path;
  }

  static std::vector<std::string> Names(const std::vector<TBike>& bikes) {
    std::vector<std::string> names;
    for (const TBike& b : bikes) names.push_back(b.Name);
    return names;
  }
};

TEST_F(BikeLibraryTest, NamesAreRequiredUniqueOneLineAndAtMost200Characters) {
  TBikeLibrary library;
  OpenLibrary(library);
  Add(library, "  Blue Duke  ");
  TLibraryFailure failure;
  EXPECT_TRUE(library.FindBike("Blue Duke", failure)) << "stored trimmed";

  std::string long200;
  for (int i = 0; i < 200; ++i) long200 += "ž"; // two bytes each: characters are counted
  const struct {
    std::string Name;
    TLibraryError Expected;
  } cases[] = {
      {"blue duke", TLibraryError::NameTaken},
      {"", TLibraryError::NameEmpty},
      {" \t ", TLibraryError::NameEmpty},
      {"two\nlines", TLibraryError::NameInvalid},
      {"bad \xC3\x28 utf-8", TLibraryError::NameInvalid},
      {long200 + "x", TLibraryError::NameTooLong},
      {long200, TLibraryError::None},
      {"Robert'); DROP TABLE bikes;--", TLibraryError::None},
      {"\"quoted\" % _ \\ *", TLibraryError::None},
  };
  for (const auto& c : cases) {
    TBike bike;
    bike.Name = c.Name;
    failure = {};
    EXPECT_EQ(library.AddBike(bike, failure), c.Expected == TLibraryError::None) << c.Name;
    EXPECT_EQ(failure.What, c.Expected) << c.Name;
    if (c.Expected == TLibraryError::None) {
      const auto found = library.FindBike(c.Name, failure);
      ASSERT_TRUE(found) << c.Name;
      EXPECT_EQ(found->Name, c.Name);
    }
  }
  std::vector<TBike> all;
  ASSERT_TRUE(library.SearchBikes("", all, failure));
  EXPECT_EQ(all.size(), 4u) << "the SQL-looking name dropped nothing";

  // Renaming onto another bike's name is refused and changes nothing.
  TBike other = *library.FindBike(long200, failure);
  other.Name = "BLUE DUKE";
  EXPECT_FALSE(library.UpdateBike(other, failure));
  EXPECT_EQ(failure.What, TLibraryError::NameTaken);
  EXPECT_TRUE(library.FindBike(long200, failure));
}

TEST_F(BikeLibraryTest, SearchFindsWordBeginningsInEveryFieldNotesIncluded) {
  TBikeLibrary library;
  OpenLibrary(library);
  TBike duke;
  duke.Name = "Blue Duke";
  duke.Customer = "Jiří Novák";
  duke.Make = "Husky";
  duke.Model = "690";
  duke.Year = "2011";
  duke.Registration = "AB-1234";
  duke.Notes = "winter set-up, new pick-up";
  TLibraryFailure failure;
  ASSERT_TRUE(library.AddBike(duke, failure));
  Add(library, "Red Single", "carburettor \"big\" bore");
  Add(library, "Old Twin");

  const struct {
    std::string Text;
    std::vector<std::string> Expected;
  } cases[] = {
      {"", {"Blue Duke", "Old Twin", "Red Single"}},
      {"du", {"Blue Duke"}},          // as the name is typed
      {"novak", {"Blue Duke"}},       // without the accents
      {"NOVÁK jiř", {"Blue Duke"}},   // any case, every word must match
      {"1234", {"Blue Duke"}},        // registration
      {"69", {"Blue Duke"}},          // model
      {"winter pick", {"Blue Duke"}}, // notes
      {"\"big", {"Red Single"}},      // a quote is only a character
      {"carb duke", {}},
      {"'; DROP TABLE bikes; --", {}},
      {"-- ) ( * :", {"Blue Duke", "Old Twin", "Red Single"}}, // nothing to search for
      {"NEAR(", {}},
  };
  for (const auto& c : cases) {
    std::vector<TBike> found;
    EXPECT_TRUE(library.SearchBikes(c.Text, found, failure)) << c.Text << ": " << failure.Detail;
    EXPECT_EQ(Names(found), c.Expected) << c.Text;
  }
  // The index follows edits and deletions.
  duke.Notes = "summer";
  ASSERT_TRUE(library.UpdateBike(duke, failure));
  std::vector<TBike> found;
  ASSERT_TRUE(library.SearchBikes("winter", found, failure));
  EXPECT_TRUE(found.empty());
  ASSERT_TRUE(library.DeleteBike(duke.Id, failure));
  ASSERT_TRUE(library.SearchBikes("summer", found, failure));
  EXPECT_TRUE(found.empty());
}

TEST_F(BikeLibraryTest, HistoryIsNewestFirstAndSurvivesItsBike) {
  TBikeLibrary library;
  OpenLibrary(library);
  TBike duke = Add(library, "Duke"), twin = Add(library, "Twin"), third = Add(library, "Anna");
  TLibraryFailure failure;
  std::vector<THistoryEntry> made;
  const struct {
    std::int64_t Bike, Time;
    TEntryKind Kind;
    const char* Unit;
  } rows[] = {
      {duke.Id, 100, TEntryKind::Read, "VNT1"},
      {duke.Id, 300, TEntryKind::Saved, ""},
      {duke.Id, 200, TEntryKind::Programmed, "VNT1"},
      {twin.Id, 150, TEntryKind::Read, "VNT2"},
      {0, 50, TEntryKind::Read, "VNT9"},
  };
  for (const auto& r : rows) {
    THistoryEntry e{0, r.Bike, r.Time, r.Kind, r.Unit, r.Unit, "/f/" + std::to_string(r.Time), ""};
    ASSERT_TRUE(library.AddEntry(e, failure));
    made.push_back(e);
  }
  std::vector<THistoryEntry> entries;
  ASSERT_TRUE(library.Entries(duke.Id, entries, failure));
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].Time, 300);
  EXPECT_EQ(entries[2].Time, 100);
  EXPECT_EQ(entries[0].Kind, TEntryKind::Saved);

  // The warning compares with the last entry that names a unit, not the last Save.
  const auto last = library.LastUnitEntry(duke.Id, failure);
  ASSERT_TRUE(last);
  EXPECT_EQ(last->Time, 200);

  // The question lists the bikes last seen with the unit first.
  std::vector<TBike> bikes;
  ASSERT_TRUE(library.BikesForUnit("VNT2", bikes, failure));
  EXPECT_EQ(Names(bikes), (std::vector<std::string>{"Twin", "Anna", "Duke"}));

  ASSERT_TRUE(library.SetEntryNote(entries[1].Id, "winter set-up, \"new\" pick-up", failure));
  ASSERT_TRUE(library.Entries(duke.Id, entries, failure));
  EXPECT_EQ(entries[1].Note, "winter set-up, \"new\" pick-up");

  // Deleting a bike leaves its entries under no bike; they can be given to another.
  ASSERT_TRUE(library.DeleteBike(duke.Id, failure));
  ASSERT_TRUE(library.Entries(0, entries, failure));
  EXPECT_EQ(entries.size(), 4u);
  std::vector<std::int64_t> ids;
  for (const THistoryEntry& e : entries) ids.push_back(e.Id);
  ASSERT_TRUE(library.AssignEntries(ids, third.Id, failure));
  ASSERT_TRUE(library.Entries(third.Id, entries, failure));
  EXPECT_EQ(entries.size(), 4u);
  // One id that is gone fails the whole assignment.
  EXPECT_FALSE(library.AssignEntries({entries[0].Id}, duke.Id, failure));
  ASSERT_TRUE(library.Entries(third.Id, entries, failure));
  EXPECT_EQ(entries.size(), 4u);
}

// A restore point found among the files before its entry was made is entered once.
TEST_F(BikeLibraryTest, ARestorePointFoundOnDiskIsEnteredOnce) {
  const std::string read = WriteRestore("VNT12", TRestoreKind::Read, 1700000000);
  TBikeLibrary library;
  OpenLibrary(library); // finds the file, under no bike
  const TBike duke = Add(library, "Duke");
  THistoryEntry entry{0, duke.Id, 1700000001, TEntryKind::Read, "VNT12", "VNT12", read, ""};
  TLibraryFailure failure;
  ASSERT_TRUE(library.EnterRestorePoint(entry, failure));
  std::vector<THistoryEntry> entries;
  ASSERT_TRUE(library.Entries(0, entries, failure));
  EXPECT_TRUE(entries.empty());
  ASSERT_TRUE(library.Entries(duke.Id, entries, failure));
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].Id, entry.Id);
  // A second entry for a file of a bike is a new one (another bike's history may share it).
  ASSERT_TRUE(library.EnterRestorePoint(entry, failure));
  ASSERT_TRUE(library.Entries(duke.Id, entries, failure));
  EXPECT_EQ(entries.size(), 2u);
}

TEST_F(BikeLibraryTest, TwoProcessesWriteAtTheSameTime) {
  {
    TBikeLibrary library;
    OpenLibrary(library); // made before, as the window makes it
  }
  constexpr int PerProcess = 150;
  pid_t children[2];
  for (int p = 0; p < 2; ++p) {
    children[p] = fork();
    ASSERT_GE(children[p], 0);
    if (children[p] == 0) {
      TBikeLibrary library;
      TBikeLibrary::TOpenReport report;
      TLibraryFailure failure;
      if (!library.Open(DbPath(), Restore(), report, failure)) _exit(10);
      for (int i = 0; i < PerProcess; ++i) {
        TBike bike;
        bike.Name = "p" + std::to_string(p) + "-" + std::to_string(i);
        if (!library.AddBike(bike, failure)) _exit(11);
        THistoryEntry entry{0, bike.Id, i, TEntryKind::Read, "U", "U", bike.Name, ""};
        if (!library.AddEntry(entry, failure)) _exit(12);
        if (!library.AssignEntries({entry.Id}, bike.Id, failure)) _exit(13);
      }
      _exit(0);
    }
  }
  for (const pid_t child : children) {
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  }
  TBikeLibrary library;
  OpenLibrary(library);
  std::vector<TBike> bikes;
  TLibraryFailure failure;
  ASSERT_TRUE(library.SearchBikes("", bikes, failure));
  EXPECT_EQ(bikes.size(), 2u * PerProcess);
  std::vector<THistoryEntry> entries;
  ASSERT_TRUE(library.Entries(bikes.front().Id, entries, failure));
  EXPECT_EQ(entries.size(), 1u);
}

TEST_F(BikeLibraryTest, DamagedFileIsMovedAsideAndHistoryRebuiltFromRestorePoints) {
  const std::string read = WriteRestore("VNT12", TRestoreKind::Read, 1700000000);
  const std::string programmed = WriteRestore("VNT12", TRestoreKind::Programmed, 1700000100);
  const std::string restoreBytes = TTempHome::Slurp(read);
  {
    TBikeLibrary library;
    TBikeLibrary::TOpenReport report;
    OpenLibrary(library, &report);
    EXPECT_TRUE(report.Created);
    Add(library, "Duke");
  }
  // Two kinds of damage: a file that is no database at all, and a database with a page
  // overwritten in its middle.
  for (const bool wholeFile : {true, false}) {
    SCOPED_TRACE(wholeFile ? "not a database" : "a damaged page");
    std::string bytes = TTempHome::Slurp(DbPath());
    if (wholeFile) {
      bytes = "this is no database, only a text the user saved by mistake\n";
    } else {
      {
        TBikeLibrary library;
        OpenLibrary(library);
        for (int i = 0; i < 300; ++i)
          Add(library, "filler " + std::to_string(i), std::string(200, 'n'));
      }
      bytes = TTempHome::Slurp(DbPath());
      ASSERT_GT(bytes.size(), 8192u);
      for (std::size_t i = 4096 + 100; i < 4096 * 3; ++i) bytes[i] = '\x5A';
    }
    fs::remove(DbPath() + "-wal");
    fs::remove(DbPath() + "-shm");
    TTempHome::Put(DbPath(), bytes);

    TBikeLibrary library;
    TBikeLibrary::TOpenReport report;
    OpenLibrary(library, &report);
    ASSERT_FALSE(report.MovedAside.empty());
    EXPECT_TRUE(TTempHome::Slurp(report.MovedAside) == bytes) << "moved, never changed";
    EXPECT_NE(report.MovedAside.find(".damaged-"), std::string::npos);
    std::vector<THistoryEntry> entries;
    TLibraryFailure failure;
    ASSERT_TRUE(library.Entries(0, entries, failure));
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].Path, programmed);
    EXPECT_EQ(entries[0].Kind, TEntryKind::Programmed);
    EXPECT_EQ(entries[1].Path, read);
    EXPECT_EQ(entries[1].Unit, "VNT12_5.3.2007_08-05");
    EXPECT_TRUE(TTempHome::Slurp(read) == restoreBytes);
    // Opened again, nothing is moved and nothing counted twice.
    library.Close();
    OpenLibrary(library, &report);
    EXPECT_TRUE(report.MovedAside.empty());
    int added = -1;
    ASSERT_TRUE(library.AddRestorePointFiles(Restore(), added, failure));
    EXPECT_EQ(added, 0);
  }
}

TEST_F(BikeLibraryTest, NewerOrForeignDatabaseIsLeftAlone) {
  fs::create_directories(fs::path(DbPath()).parent_path());
  for (const char* sql : {"PRAGMA user_version=99;", "CREATE TABLE bikes(x);"}) {
    SCOPED_TRACE(sql);
    fs::remove(DbPath());
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(DbPath().c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
    const std::string before = TTempHome::Slurp(DbPath());
    TBikeLibrary library;
    TBikeLibrary::TOpenReport report;
    TLibraryFailure failure;
    EXPECT_FALSE(library.Open(DbPath(), Restore(), report, failure));
    EXPECT_TRUE(report.MovedAside.empty());
    EXPECT_TRUE(TTempHome::Slurp(DbPath()) == before) << "not changed";
  }
}

TEST_F(BikeLibraryTest, MigratesAnEmptyFileAndTheFirstSchema) {
  fs::create_directories(fs::path(DbPath()).parent_path());
  // The first version's tables, as a program of that version left them, with a bike.
  const char* first =
      "CREATE TABLE bikes(id INTEGER PRIMARY KEY, name TEXT NOT NULL UNIQUE COLLATE NOCASE,"
      " customer TEXT NOT NULL DEFAULT '', make TEXT NOT NULL DEFAULT '',"
      " model TEXT NOT NULL DEFAULT '', year TEXT NOT NULL DEFAULT '',"
      " registration TEXT NOT NULL DEFAULT '', notes TEXT NOT NULL DEFAULT '');"
      "CREATE TABLE entries(id INTEGER PRIMARY KEY,"
      " bike_id INTEGER REFERENCES bikes(id) ON DELETE SET NULL, time INTEGER NOT NULL,"
      " kind INTEGER NOT NULL, unit TEXT NOT NULL DEFAULT '', unit_text TEXT NOT NULL DEFAULT '',"
      " path TEXT NOT NULL, note TEXT NOT NULL DEFAULT '');"
      "INSERT INTO bikes(name, notes) VALUES ('Duke', 'kept from before');"
      "PRAGMA user_version=1;";
  for (const char* sql : {"", first}) {
    SCOPED_TRACE(*sql == '\0' ? "empty file" : "first schema");
    fs::remove(DbPath());
    TTempHome::Put(DbPath(), "");
    if (*sql != '\0') {
      sqlite3* db = nullptr;
      ASSERT_EQ(sqlite3_open(DbPath().c_str(), &db), SQLITE_OK);
      ASSERT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK);
      sqlite3_close(db);
    }
    TBikeLibrary library;
    OpenLibrary(library);
    EXPECT_EQ(library.FoundVersion(), *sql == '\0' ? 0 : 1);
    TLibraryFailure failure;
    std::vector<TBike> found;
    if (*sql != '\0') {
      ASSERT_TRUE(library.SearchBikes("kept", found, failure)) << failure.Detail;
      EXPECT_EQ(Names(found), std::vector<std::string>{"Duke"}) << "indexed on migration";
    }
    Add(library, "New one");
    library.Close();
    OpenLibrary(library);
    EXPECT_EQ(library.FoundVersion(), TBikeLibrary::SchemaVersion);
  }
}

TEST_F(BikeLibraryTest, FileAndFolderArePrivateWhateverTheUmask) {
  const mode_t old = ::umask(0);
  {
    TBikeLibrary library;
    OpenLibrary(library);
    Add(library, "Duke");
  }
  struct stat st {};
  ASSERT_EQ(::stat(DbPath().c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  ASSERT_EQ(::stat(fs::path(DbPath()).parent_path().c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  for (const char* suffix : {"-wal", "-shm"})
    if (::stat((DbPath() + suffix).c_str(), &st) == 0) {
      EXPECT_EQ(st.st_mode & 077, 0u) << suffix;
    }
  // A file someone opened to others is closed again.
  ::chmod(DbPath().c_str(), 0666);
  {
    TBikeLibrary library;
    OpenLibrary(library);
  }
  ASSERT_EQ(::stat(DbPath().c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  ::umask(old);
}

TEST_F(BikeLibraryTest, FullDiskFailsTheOneOperationAndKeepsTheRest) {
  const fs::path small = dir / "small";
  fs::create_directories(small);
  if (::mount("tmpfs", small.c_str(), "tmpfs", 0, "size=256k") != 0)
    GTEST_SKIP() << "no tmpfs to fill: " << std::strerror(errno);
  struct TUnmount {
    std::string Path;
    ~TUnmount() { ::umount2(Path.c_str(), MNT_DETACH); }
  } unmount{small.string()};
  const std::string path = (small / "bikes.sqlite").string();
  TBikeLibrary library;
  TBikeLibrary::TOpenReport report;
  TLibraryFailure failure;
  ASSERT_TRUE(library.Open(path, Restore(), report, failure)) << failure.Detail;
  int kept = 0;
  for (; kept < 10000; ++kept) {
    TBike bike;
    bike.Name = "bike " + std::to_string(kept);
    bike.Notes = std::string(2000, 'x');
    if (!library.AddBike(bike, failure)) break;
  }
  ASSERT_LT(kept, 10000);
  EXPECT_EQ(failure.What, TLibraryError::Full) << failure.Detail;
  // The one that failed is not there; all before it are, and the file still opens clean.
  library.Close();
  ASSERT_TRUE(library.Open(path, Restore(), report, failure)) << failure.Detail;
  EXPECT_TRUE(report.MovedAside.empty());
  std::vector<TBike> bikes;
  ASSERT_TRUE(library.SearchBikes("", bikes, failure));
  EXPECT_EQ(bikes.size(), static_cast<std::size_t>(kept));
  EXPECT_FALSE(library.FindBike("bike " + std::to_string(kept), failure));
  library.Close();
}

TEST_F(BikeLibraryTest, ExportAndImportMoveABikeWithItsHistory) {
  const std::string tune = WriteRestore("VNT12", TRestoreKind::Read, 1700000000);
  TBikeLibrary library;
  OpenLibrary(library);
  TBike duke;
  duke.Name = "Duke / \"Ž\" ..";
  duke.Customer = "Jiří";
  duke.Notes = "line one\nline two";
  TLibraryFailure failure;
  ASSERT_TRUE(library.AddBike(duke, failure));
  Add(library, "Someone else's bike");
  THistoryEntry read{0, duke.Id, 1700000000, TEntryKind::Read, "VNT12", "VNT12", tune, "winter"};
  THistoryEntry gone{0, duke.Id, 1700000500, TEntryKind::Saved, "", "", (dir / "gone.ign").string(),
                     ""};
  ASSERT_TRUE(library.AddEntry(read, failure));
  ASSERT_TRUE(library.AddEntry(gone, failure));

  const fs::path out = dir / "usb";
  fs::create_directories(out);
  std::string folder;
  ASSERT_TRUE(ExportBike(library, duke.Id, out.string(), folder, failure)) << failure.Detail;
  EXPECT_EQ(fs::path(folder).parent_path(), out) << "the name cannot lead elsewhere";
  int files = 0;
  for (const auto& f : fs::directory_iterator(folder)) files += f.path().extension() == ".ign";
  EXPECT_EQ(files, 1);
  const std::string notes = TTempHome::Slurp(folder + "/notes.txt");
  EXPECT_NE(notes.find("line two"), std::string::npos);
  EXPECT_NE(notes.find("winter"), std::string::npos);
  EXPECT_EQ(TTempHome::Slurp(folder + "/bike.json").find("Someone"), std::string::npos);

  // Into another workshop's library.
  TTempHome other;
  TBikeLibrary second;
  TBikeLibrary::TOpenReport report;
  const std::string otherDb = other.File("data/vantel/bikes.sqlite");
  const std::string imported = other.File("data/vantel/imported");
  ASSERT_TRUE(second.Open(otherDb, other.File("none"), report, failure));
  std::string name;
  ASSERT_TRUE(ImportBike(second, folder, imported, TImportMode::Refuse, name, failure))
      << failure.Detail;
  EXPECT_EQ(name, duke.Name);
  const auto got = second.FindBike(duke.Name, failure);
  ASSERT_TRUE(got);
  EXPECT_EQ(got->Notes, duke.Notes);
  std::vector<THistoryEntry> entries;
  ASSERT_TRUE(second.Entries(got->Id, entries, failure));
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[1].Note, "winter");
  EXPECT_TRUE(TTempHome::Slurp(entries[1].Path) == TTempHome::Slurp(tune));
  EXPECT_EQ(entries[1].Path.rfind(imported, 0), 0u);

  // The same name again: refused unless the user says how.
  EXPECT_FALSE(ImportBike(second, folder, imported, TImportMode::Refuse, name, failure));
  EXPECT_EQ(failure.What, TLibraryError::NameTaken);
  ASSERT_TRUE(ImportBike(second, folder, imported, TImportMode::Rename, name, failure));
  EXPECT_EQ(name, duke.Name + " (2)");
  ASSERT_TRUE(ImportBike(second, folder, imported, TImportMode::Merge, name, failure));
  ASSERT_TRUE(second.Entries(got->Id, entries, failure));
  EXPECT_EQ(entries.size(), 4u);

  // A description that points outside its folder is refused, and nothing is added.
  std::string json = TTempHome::Slurp(folder + "/bike.json");
  const std::size_t at = json.find("\"file\": \"");
  ASSERT_NE(at, std::string::npos);
  json.insert(at + 9, "../../");
  TTempHome::Put(folder + "/bike.json", json);
  std::vector<TBike> before, after;
  ASSERT_TRUE(second.SearchBikes("", before, failure));
  EXPECT_FALSE(ImportBike(second, folder, imported, TImportMode::Rename, name, failure));
  EXPECT_EQ(failure.What, TLibraryError::NotABikeFolder);
  ASSERT_TRUE(second.SearchBikes("", after, failure));
  EXPECT_EQ(after.size(), before.size());
  for (const char* broken : {"", "{", "[]", "{\"format\":\"vantel-bike\"}",
                             "{\"a\":[[[[[[[[[[[[[[[[[[[[[[]]]]]]]]]]]]]]]]]]]]]}"}) {
    TTempHome::Put(folder + "/bike.json", broken);
    EXPECT_FALSE(ImportBike(second, folder, imported, TImportMode::Rename, name, failure))
        << broken;
    EXPECT_EQ(failure.What, TLibraryError::NotABikeFolder) << broken;
  }
}

} // namespace
