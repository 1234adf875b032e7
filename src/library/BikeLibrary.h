// The workshop's bikes: each bike with its customer and notes, and the history of what was
// read from it, programmed into it and saved for it. One SQLite database under the data
// directory, shared by the window and the command-line tool; the .ign files stay the truth
// for every tune, the database only points at them and never deletes or changes one.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "i18n/BikeTexts.h"
#include "model/Identity.h"

struct sqlite3;

struct TLibraryFailure {
  TLibraryError What = TLibraryError::None;
  std::string Detail; // the database's own words or the system's reason; may be empty
};

struct TBike {
  std::int64_t Id = 0;
  std::string Name; // required, unique, one line, at most BikeNameMax characters
  std::string Customer, Make, Model, Year, Registration, Notes;
};

inline constexpr std::size_t BikeNameMax = 200;

enum class TEntryKind : std::uint8_t { Read, Programmed, BackUp, Saved };

struct THistoryEntry {
  std::int64_t Id = 0;
  std::int64_t BikeId = 0; // 0: no bike
  std::int64_t Time = 0;   // seconds since the epoch
  TEntryKind Kind = TEntryKind::Read;
  std::string Unit;     // the unit's folder name, the key that compares identities
  std::string UnitText; // the identity as the window shows it
  std::string Path;
  std::string Note;
};

// The key that tells units apart (the restore points' folder name) and the identity as the
// window shows it, in UTF-8.
std::string UnitKey(const TUnitIdentity& id);
std::string UnitIdentityText(const TUnitIdentity& id);

// "read", "programmed", "backup", "saved": the words of the command-line tool and the export.
const char* EntryKindWord(TEntryKind kind);
// An entry's time as the history shows it, in local time.
std::string EntryTimeText(std::int64_t time);
std::optional<TEntryKind> EntryKindFromWord(const std::string& word);

// DataDirectory()/bikes.sqlite
std::string BikeLibraryPath();

// A name the library accepts: trimmed, not empty, valid UTF-8 without control characters,
// at most BikeNameMax characters. Returns None or the reason.
TLibraryError CheckBikeName(const std::string& name);

class TBikeLibrary {
public:
  TBikeLibrary() = default;
  ~TBikeLibrary();
  TBikeLibrary(const TBikeLibrary&) = delete;
  TBikeLibrary& operator=(const TBikeLibrary&) = delete;

  // What Open had to do besides opening.
  struct TOpenReport {
    bool Created = false;
    std::string MovedAside; // where a damaged file went; empty when none was
  };
  // Opens the database at path, creating it (0600, its folder 0700). A file that is no
  // database or fails its check is moved aside and a new one made, its history rebuilt
  // from the restore-point files under restoreRoot. A busy or newer database is left alone.
  bool Open(const std::string& path, const std::string& restoreRoot, TOpenReport& report,
            TLibraryFailure& failure);
  void Close();
  bool IsOpen() const { return Db != nullptr; }
  const std::string& Path() const { return DbPath; }

  // ---- bikes ----
  // bike.Id is set on success; the name is stored trimmed.
  bool AddBike(TBike& bike, TLibraryFailure& failure);
  bool UpdateBike(const TBike& bike, TLibraryFailure& failure);
  // The bike goes; its history entries stay, under no bike.
  bool DeleteBike(std::int64_t id, TLibraryFailure& failure);
  std::optional<TBike> FindBike(const std::string& name, TLibraryFailure& failure);
  std::optional<TBike> BikeById(std::int64_t id, TLibraryFailure& failure);
  // Every bike whose fields (notes included) hold words that begin with the words of text,
  // by name; all bikes for an empty text.
  bool SearchBikes(const std::string& text, std::vector<TBike>& bikes, TLibraryFailure& failure);
  // Every bike by name, those whose last entry came from the unit first.
  bool BikesForUnit(const std::string& unit, std::vector<TBike>& bikes, TLibraryFailure& failure);

  // ---- history ----
  bool AddEntry(THistoryEntry& entry, TLibraryFailure& failure);
  // A restore point's entry: when the file is listed under no bike already (found among
  // the restore-point files), that entry becomes this one instead of a second.
  bool EnterRestorePoint(THistoryEntry& entry, TLibraryFailure& failure);
  // Newest first; bikeId 0 lists the entries of no bike.
  bool Entries(std::int64_t bikeId, std::vector<THistoryEntry>& entries, TLibraryFailure& failure);
  bool SetEntryNote(std::int64_t entryId, const std::string& note, TLibraryFailure& failure);
  // All or nothing.
  bool AssignEntries(const std::vector<std::int64_t>& entryIds, std::int64_t bikeId,
                     TLibraryFailure& failure);
  // The bike's newest entry that names a unit (a read, a programming, a back-up), leaving
  // out the entry exceptEntry.
  std::optional<THistoryEntry> LastUnitEntry(std::int64_t bikeId, TLibraryFailure& failure,
                                             std::int64_t exceptEntry = 0);
  // Restore-point files under root that no entry points at become entries of no bike.
  bool AddRestorePointFiles(const std::string& root, int& added, TLibraryFailure& failure);

  // The schema this program writes, and the one the open file had before Open migrated it.
  static constexpr int SchemaVersion = 2;
  int FoundVersion() const { return OpenedVersion; }

  // An imported bike: added, or with update its details written over the bike bike.Id;
  // then its entries added to it. All or nothing.
  bool AddBikeWithHistory(TBike& bike, bool update, std::vector<THistoryEntry>& entries,
                          TLibraryFailure& failure);

private:
  bool OpenFile(const std::string& path, TLibraryFailure& failure, bool& damaged);
  bool Migrate(TLibraryFailure& failure, bool& damaged);
  bool Fail(TLibraryFailure& failure) const;

  sqlite3* Db = nullptr;
  std::string DbPath;
  int OpenedVersion = 0;
};

// Turns an SQLite result code into the library's failure, with the database's message.
TLibraryFailure LibraryFailure(sqlite3* db, int code);
