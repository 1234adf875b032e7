#include "library/BikeLibrary.h"

#include <cerrno>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include "files/RestorePoints.h"
#include "model/SettingsDir.h"

namespace {

// Long enough for the other program's longest write (an import of a bike), short enough
// that a window waiting on a stuck program comes back with a message.
constexpr int BusyWaitMs = 5000;

// One prepared statement, finalised on every path.
class TStatement {
public:
  TStatement(sqlite3* db, const char* sql) : Db(db) {
    Code = sqlite3_prepare_v2(db, sql, -1, &Stmt, nullptr);
  }
  ~TStatement() { sqlite3_finalize(Stmt); }
  TStatement(const TStatement&) = delete;
  TStatement& operator=(const TStatement&) = delete;

  bool Ok() const { return Code == SQLITE_OK || Code == SQLITE_ROW || Code == SQLITE_DONE; }
  int Result() const { return Code; }

  TStatement& Bind(int at, const std::string& text) {
    if (Ok())
      Code =
          sqlite3_bind_text(Stmt, at, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
    return *this;
  }
  TStatement& Bind(int at, std::int64_t value) {
    if (Ok()) Code = sqlite3_bind_int64(Stmt, at, value);
    return *this;
  }
  TStatement& BindBike(int at, std::int64_t bikeId) {
    if (Ok())
      Code = bikeId == 0 ? sqlite3_bind_null(Stmt, at) : sqlite3_bind_int64(Stmt, at, bikeId);
    return *this;
  }
  // True while a row stands; Result() tells an error from the end.
  bool Step() {
    if (!Ok()) return false;
    Code = sqlite3_step(Stmt);
    return Code == SQLITE_ROW;
  }
  std::string Text(int column) const {
    const auto* text = sqlite3_column_text(Stmt, column);
    return text == nullptr
               ? std::string()
               : std::string(reinterpret_cast<const char*>(text),
                             static_cast<std::size_t>(sqlite3_column_bytes(Stmt, column)));
  }
  std::int64_t Int(int column) const { return sqlite3_column_int64(Stmt, column); }

private:
  sqlite3* Db;
  sqlite3_stmt* Stmt = nullptr;
  int Code = SQLITE_OK;
};

bool Exec(sqlite3* db, const char* sql, TLibraryFailure& failure) {
  const int code = sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
  if (code == SQLITE_OK) return true;
  failure = LibraryFailure(db, code);
  return false;
}

// A write in one transaction that takes the write lock at once, so two programs writing at
// the same time wait for each other instead of failing half-way.
class TWrite {
public:
  TWrite(sqlite3* db, TLibraryFailure& failure) : Db(db), Failure(failure) {
    Begun = Exec(db, "BEGIN IMMEDIATE", failure);
  }
  ~TWrite() {
    if (Begun && !Done) sqlite3_exec(Db, "ROLLBACK", nullptr, nullptr, nullptr);
  }
  bool Begun;
  bool Commit() {
    Done = true;
    if (Exec(Db, "COMMIT", Failure)) return true;
    sqlite3_exec(Db, "ROLLBACK", nullptr, nullptr, nullptr);
    return false;
  }

private:
  sqlite3* Db;
  TLibraryFailure& Failure;
  bool Done = false;
};

bool Failed(sqlite3* db, const TStatement& s, TLibraryFailure& failure) {
  if (s.Result() == SQLITE_OK || s.Result() == SQLITE_DONE || s.Result() == SQLITE_ROW)
    return false;
  failure = LibraryFailure(db, s.Result());
  return true;
}

std::string Trimmed(const std::string& text) {
  const char* blanks = " \t\r\n\f\v";
  const std::size_t first = text.find_first_not_of(blanks);
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

// Code points of valid UTF-8 without control characters; -1 otherwise.
long LineLength(const std::string& text) {
  long count = 0;
  for (std::size_t i = 0; i < text.size(); ++count) {
    const auto c = static_cast<unsigned char>(text[i]);
    std::size_t length = c < 0x80           ? 1
                         : (c >> 5) == 0x6  ? 2
                         : (c >> 4) == 0xE  ? 3
                         : (c >> 3) == 0x1E ? 4
                                            : 0;
    if (length == 0 || i + length > text.size()) return -1;
    std::uint32_t point = length == 1 ? c : c & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xC0) != 0x80) return -1;
      point = (point << 6) | (next & 0x3F);
    }
    static constexpr std::uint32_t Least[] = {0, 0, 0x80, 0x800, 0x10000};
    if (point < Least[length] || point > 0x10FFFF || (point >= 0xD800 && point <= 0xDFFF))
      return -1;
    if (point < 0x20 || point == 0x7F || (point >= 0x80 && point < 0xA0)) return -1;
    i += length;
  }
  return count;
}

// The search text as an FTS5 query: each word a quoted prefix, all of them required.
// Empty when no word holds a letter or digit the index could match.
std::string MatchQuery(const std::string& text) {
  std::string query;
  std::size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && std::strchr(" \t\r\n", text[i]) != nullptr) ++i;
    std::size_t end = i;
    while (end < text.size() && std::strchr(" \t\r\n", text[end]) == nullptr) ++end;
    const std::string word = text.substr(i, end - i);
    i = end;
    bool indexable = false;
    for (const char c : word)
      indexable = indexable || static_cast<unsigned char>(c) >= 0x80 || (c >= '0' && c <= '9') ||
                  ((c | 0x20) >= 'a' && (c | 0x20) <= 'z');
    if (!indexable) continue;
    std::string quoted;
    for (const char c : word) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    if (!query.empty()) query += ' ';
    query += '"' + quoted + "\"*";
  }
  return query;
}

constexpr const char* BikeColumns =
    "b.id, b.name, b.customer, b.make, b.model, b.year, b.registration, b.notes";

TBike BikeRow(const TStatement& s) {
  return {s.Int(0), s.Text(1), s.Text(2), s.Text(3), s.Text(4), s.Text(5), s.Text(6), s.Text(7)};
}

constexpr const char* EntryColumns = "id, bike_id, time, kind, unit, unit_text, path, note";

THistoryEntry EntryRow(const TStatement& s) {
  const std::int64_t kind = s.Int(3);
  return {s.Int(0),  s.Int(1),
          s.Int(2),  kind >= 0 && kind <= 3 ? static_cast<TEntryKind>(kind) : TEntryKind::Read,
          s.Text(4), s.Text(5),
          s.Text(6), s.Text(7)};
}

// The schema, one step a version; a database of version n runs the steps after n.
const char* const Migrations[] = {
    // 1: bikes and their history.
    "CREATE TABLE bikes("
    " id INTEGER PRIMARY KEY,"
    " name TEXT NOT NULL UNIQUE COLLATE NOCASE,"
    " customer TEXT NOT NULL DEFAULT '', make TEXT NOT NULL DEFAULT '',"
    " model TEXT NOT NULL DEFAULT '', year TEXT NOT NULL DEFAULT '',"
    " registration TEXT NOT NULL DEFAULT '', notes TEXT NOT NULL DEFAULT '');"
    "CREATE TABLE entries("
    " id INTEGER PRIMARY KEY,"
    " bike_id INTEGER REFERENCES bikes(id) ON DELETE SET NULL,"
    " time INTEGER NOT NULL, kind INTEGER NOT NULL,"
    " unit TEXT NOT NULL DEFAULT '', unit_text TEXT NOT NULL DEFAULT '',"
    " path TEXT NOT NULL, note TEXT NOT NULL DEFAULT '');",
    // 2: the search index and the indexes of the history.
    "CREATE INDEX entries_bike ON entries(bike_id, time);"
    "CREATE INDEX entries_path ON entries(path);"
    "CREATE VIRTUAL TABLE bikes_search USING fts5("
    " name, customer, make, model, year, registration, notes,"
    " content='bikes', content_rowid='id', tokenize='unicode61 remove_diacritics 2');"
    "CREATE TRIGGER bikes_search_add AFTER INSERT ON bikes BEGIN"
    " INSERT INTO bikes_search(rowid, name, customer, make, model, year, registration, notes)"
    " VALUES (new.id, new.name, new.customer, new.make, new.model, new.year, new.registration,"
    " new.notes); END;"
    "CREATE TRIGGER bikes_search_delete AFTER DELETE ON bikes BEGIN"
    " INSERT INTO bikes_search(bikes_search, rowid, name, customer, make, model, year,"
    " registration, notes) VALUES ('delete', old.id, old.name, old.customer, old.make,"
    " old.model, old.year, old.registration, old.notes); END;"
    "CREATE TRIGGER bikes_search_update AFTER UPDATE ON bikes BEGIN"
    " INSERT INTO bikes_search(bikes_search, rowid, name, customer, make, model, year,"
    " registration, notes) VALUES ('delete', old.id, old.name, old.customer, old.make,"
    " old.model, old.year, old.registration, old.notes);"
    " INSERT INTO bikes_search(rowid, name, customer, make, model, year, registration, notes)"
    " VALUES (new.id, new.name, new.customer, new.make, new.model, new.year, new.registration,"
    " new.notes); END;"
    "INSERT INTO bikes_search(bikes_search) VALUES ('rebuild');",
};
static_assert(std::size(Migrations) == TBikeLibrary::SchemaVersion);

bool IsDamage(int code) {
  return (code & 0xFF) == SQLITE_CORRUPT || (code & 0xFF) == SQLITE_NOTADB;
}

// The folder made if missing; made or found, closed to others.
bool PrivateFolder(const std::string& folder, TLibraryFailure& failure) {
  std::string made;
  for (std::size_t at = 1; at <= folder.size(); ++at) {
    if (at != folder.size() && folder[at] != '/') continue;
    made = folder.substr(0, at);
    if (::mkdir(made.c_str(), 0700) != 0 && errno != EEXIST) {
      failure = {TLibraryError::NotOpened, made + ": " + std::strerror(errno)};
      return false;
    }
  }
  struct stat st {};
  if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
    failure = {TLibraryError::NotOpened, folder + ": " + std::strerror(errno ? errno : ENOTDIR)};
    return false;
  }
  if (st.st_uid == ::geteuid() && (st.st_mode & 077) != 0)
    ::chmod(folder.c_str(), st.st_mode & 0700);
  return true;
}

// The file created 0600 before the database opens it, whatever the umask; a file that is
// there is closed to others as well.
bool PrivateFile(const std::string& path, bool& created, TLibraryFailure& failure) {
  int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  created = fd >= 0;
  if (fd < 0 && errno == EEXIST) fd = ::open(path.c_str(), O_RDWR | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) {
    failure = {errno == EACCES || errno == EROFS ? TLibraryError::ReadOnly
                                                 : TLibraryError::NotOpened,
               path + ": " + std::strerror(errno)};
    return false;
  }
  struct stat st {};
  if (::fstat(fd, &st) == 0 && (st.st_mode & 077) != 0) ::fchmod(fd, 0600);
  ::close(fd);
  return true;
}

std::string AsideName(const std::string& path) {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y-%m-%d_%H-%M-%S", &local);
  std::string aside = path + ".damaged-" + stamp;
  for (int n = 2; ::access(aside.c_str(), F_OK) == 0; ++n)
    aside = path + ".damaged-" + stamp + "-" + std::to_string(n);
  return aside;
}

} // namespace

TLibraryFailure LibraryFailure(sqlite3* db, int code) {
  const std::string detail = db != nullptr ? sqlite3_errmsg(db) : sqlite3_errstr(code);
  switch (code & 0xFF) {
  case SQLITE_FULL:
    return {TLibraryError::Full, detail};
  case SQLITE_BUSY:
  case SQLITE_LOCKED:
    return {TLibraryError::Busy, detail};
  case SQLITE_READONLY:
  case SQLITE_PERM:
    return {TLibraryError::ReadOnly, detail};
  case SQLITE_CORRUPT:
  case SQLITE_NOTADB:
    return {TLibraryError::Damaged, detail};
  case SQLITE_CANTOPEN:
    return {TLibraryError::NotOpened, detail};
  case SQLITE_CONSTRAINT:
    // The only constraint a user can meet; the database's words add nothing to it.
    return {TLibraryError::NameTaken, {}};
  default:
    return {TLibraryError::Failed, detail};
  }
}

std::string UnitKey(const TUnitIdentity& id) {
  return UnitFolderName(id);
}

std::string UnitIdentityText(const TUnitIdentity& id) {
  std::string text;
  for (const std::string* part : {&id.UnitVersionText, &id.UnitDateText, &id.UnitTimeText}) {
    if (!text.empty()) text += "  ";
    for (const char c : *part) {
      const auto b = static_cast<unsigned char>(c);
      if (b < 0x20 || b == 0x7F) {
        text += '?';
      } else if (b < 0x80) {
        text += c;
      } else if (b < 0xA0) {
        text += '?';
      } else {
        text += static_cast<char>(0xC0 | (b >> 6));
        text += static_cast<char>(0x80 | (b & 0x3F));
      }
    }
  }
  return text;
}

std::string EntryTimeText(std::int64_t time) {
  const std::time_t t = static_cast<std::time_t>(time);
  std::tm local{};
  localtime_r(&t, &local);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
  return text;
}

const char* EntryKindWord(TEntryKind kind) {
  switch (kind) {
  case TEntryKind::Read:
    return "read";
  case TEntryKind::Programmed:
    return "programmed";
  case TEntryKind::BackUp:
    return "backup";
  case TEntryKind::Saved:
    return "saved";
  }
  return "read";
}

std::optional<TEntryKind> EntryKindFromWord(const std::string& word) {
  for (const TEntryKind kind :
       {TEntryKind::Read, TEntryKind::Programmed, TEntryKind::BackUp, TEntryKind::Saved})
    if (word == EntryKindWord(kind)) return kind;
  return std::nullopt;
}

std::string BikeLibraryPath() {
  return DataDirectory() + "/bikes.sqlite";
}

TLibraryError CheckBikeName(const std::string& name) {
  const std::string trimmed = Trimmed(name);
  if (trimmed.empty()) return TLibraryError::NameEmpty;
  const long length = LineLength(trimmed);
  if (length < 0) return TLibraryError::NameInvalid;
  if (static_cast<std::size_t>(length) > BikeNameMax) return TLibraryError::NameTooLong;
  return TLibraryError::None;
}

TBikeLibrary::~TBikeLibrary() {
  Close();
}

void TBikeLibrary::Close() {
  if (Db != nullptr) sqlite3_close_v2(Db);
  Db = nullptr;
}

bool TBikeLibrary::Fail(TLibraryFailure& failure) const {
  failure = {TLibraryError::NotOpened, {}};
  return false;
}

bool TBikeLibrary::Open(const std::string& path, const std::string& restoreRoot,
                        TOpenReport& report, TLibraryFailure& failure) {
  Close();
  report = {};
  DbPath = path;
  const std::size_t slash = path.rfind('/');
  if (slash != std::string::npos && slash > 0 && !PrivateFolder(path.substr(0, slash), failure))
    return false;
  bool damaged = false;
  if (OpenFile(path, failure, damaged)) {
    report.Created = OpenedVersion == 0;
    if (!report.Created) return true;
    int added = 0;
    return AddRestorePointFiles(restoreRoot, added, failure);
  }
  if (!damaged) return false;
  // Only what cannot be read at all is moved aside, and never deleted: it may still be
  // rescued by hand.
  Close();
  const std::string aside = AsideName(path);
  if (::rename(path.c_str(), aside.c_str()) != 0) {
    failure = {TLibraryError::Damaged, path + ": " + std::strerror(errno)};
    return false;
  }
  for (const char* suffix : {"-wal", "-shm"}) {
    const std::string from = path + suffix;
    if (::access(from.c_str(), F_OK) == 0) ::rename(from.c_str(), (aside + suffix).c_str());
  }
  report.MovedAside = aside;
  if (!OpenFile(path, failure, damaged)) return false;
  report.Created = true;
  int added = 0;
  return AddRestorePointFiles(restoreRoot, added, failure);
}

bool TBikeLibrary::OpenFile(const std::string& path, TLibraryFailure& failure, bool& damaged) {
  damaged = false;
  bool created = false;
  if (!PrivateFile(path, created, failure)) return false;
  const int code =
      sqlite3_open_v2(path.c_str(), &Db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOFOLLOW, nullptr);
  if (code != SQLITE_OK) {
    failure = LibraryFailure(Db, code);
    Close();
    return false;
  }
  sqlite3_extended_result_codes(Db, 1);
  sqlite3_busy_timeout(Db, BusyWaitMs);
  const auto fail = [&](TLibraryFailure f, bool damage) {
    failure = std::move(f);
    damaged = damage;
    Close();
    return false;
  };
  // Looked at before anything is written: a file that is not ours is left as it was.
  {
    TStatement check(Db, "PRAGMA quick_check");
    std::string verdict;
    while (check.Step()) verdict += check.Text(0);
    if (Failed(Db, check, failure)) return fail(failure, failure.What == TLibraryError::Damaged);
    if (verdict != "ok") return fail({TLibraryError::Damaged, verdict}, true);
  }
  {
    TStatement version(Db, "PRAGMA user_version");
    if (!version.Step()) {
      const TLibraryFailure f = LibraryFailure(Db, version.Result());
      return fail(f, f.What == TLibraryError::Damaged);
    }
    if (version.Int(0) > SchemaVersion) return fail({TLibraryError::Newer, path}, false);
    TStatement tables(Db, "SELECT count(*) FROM sqlite_master");
    if (version.Int(0) == 0 && tables.Step() && tables.Int(0) > 0)
      return fail({TLibraryError::Failed, path + ": not a bike library"}, false);
  }
  // Foreign keys keep a deleted bike's entries (under no bike); the write-ahead log lets
  // the window read while the command-line tool writes.
  const char* setup = "PRAGMA foreign_keys=ON; PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;";
  if (const int c = sqlite3_exec(Db, setup, nullptr, nullptr, nullptr); c != SQLITE_OK) {
    const TLibraryFailure f = LibraryFailure(Db, c);
    return fail(f, IsDamage(c));
  }
  if (!Migrate(failure, damaged)) {
    Close();
    return false;
  }
  return true;
}

bool TBikeLibrary::Migrate(TLibraryFailure& failure, bool& damaged) {
  TWrite write(Db, failure);
  if (!write.Begun) {
    damaged = failure.What == TLibraryError::Damaged;
    return false;
  }
  TStatement version(Db, "PRAGMA user_version");
  if (!version.Step()) {
    failure = LibraryFailure(Db, version.Result());
    damaged = failure.What == TLibraryError::Damaged;
    return false;
  }
  OpenedVersion = static_cast<int>(version.Int(0));
  if (OpenedVersion > SchemaVersion) {
    failure = {TLibraryError::Newer, DbPath};
    return false;
  }
  if (OpenedVersion < 0) {
    failure = {TLibraryError::Damaged, "user_version"};
    damaged = true;
    return false;
  }
  if (OpenedVersion == SchemaVersion) return write.Commit();
  for (int v = OpenedVersion; v < SchemaVersion; ++v) {
    if (!Exec(Db, Migrations[v], failure)) {
      // Tables of another program in a file of version 0: not this library's to change.
      damaged = failure.What == TLibraryError::Damaged;
      return false;
    }
  }
  const std::string set = "PRAGMA user_version=" + std::to_string(SchemaVersion);
  if (!Exec(Db, set.c_str(), failure)) return false;
  return write.Commit();
}

bool TBikeLibrary::AddBike(TBike& bike, TLibraryFailure& failure) {
  if (Db == nullptr) return Fail(failure);
  if (const TLibraryError e = CheckBikeName(bike.Name); e != TLibraryError::None) {
    failure = {e, {}};
    return false;
  }
  bike.Name = Trimmed(bike.Name);
  TStatement s(Db, "INSERT INTO bikes(name, customer, make, model, year, registration, notes)"
                   " VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)");
  s.Bind(1, bike.Name).Bind(2, bike.Customer).Bind(3, bike.Make).Bind(4, bike.Model);
  s.Bind(5, bike.Year).Bind(6, bike.Registration).Bind(7, bike.Notes).Step();
  if (Failed(Db, s, failure)) return false;
  bike.Id = sqlite3_last_insert_rowid(Db);
  return true;
}

bool TBikeLibrary::UpdateBike(const TBike& bike, TLibraryFailure& failure) {
  if (Db == nullptr) return Fail(failure);
  if (const TLibraryError e = CheckBikeName(bike.Name); e != TLibraryError::None) {
    failure = {e, {}};
    return false;
  }
  TStatement s(Db, "UPDATE bikes SET name=?1, customer=?2, make=?3, model=?4, year=?5,"
                   " registration=?6, notes=?7 WHERE id=?8");
  s.Bind(1, Trimmed(bike.Name)).Bind(2, bike.Customer).Bind(3, bike.Make).Bind(4, bike.Model);
  s.Bind(5, bike.Year).Bind(6, bike.Registration).Bind(7, bike.Notes).Bind(8, bike.Id).Step();
  if (Failed(Db, s, failure)) return false;
  if (sqlite3_changes(Db) == 0) {
    failure = {TLibraryError::NotFound, {}};
    return false;
  }
  return true;
}

bool TBikeLibrary::DeleteBike(std::int64_t id, TLibraryFailure& failure) {
  if (Db == nullptr) return Fail(failure);
  TStatement s(Db, "DELETE FROM bikes WHERE id=?1");
  s.Bind(1, id).Step();
  if (Failed(Db, s, failure)) return false;
  if (sqlite3_changes(Db) == 0) {
    failure = {TLibraryError::NotFound, {}};
    return false;
  }
  return true;
}

std::optional<TBike> TBikeLibrary::FindBike(const std::string& name, TLibraryFailure& failure) {
  if (Db == nullptr) return Fail(failure), std::nullopt;
  const std::string sql = std::string("SELECT ") + BikeColumns + " FROM bikes b WHERE b.name=?1";
  TStatement s(Db, sql.c_str());
  if (s.Bind(1, Trimmed(name)).Step()) return BikeRow(s);
  if (!Failed(Db, s, failure)) failure = {TLibraryError::NotFound, {}};
  return std::nullopt;
}

std::optional<TBike> TBikeLibrary::BikeById(std::int64_t id, TLibraryFailure& failure) {
  if (Db == nullptr) return Fail(failure), std::nullopt;
  const std::string sql = std::string("SELECT ") + BikeColumns + " FROM bikes b WHERE b.id=?1";
  TStatement s(Db, sql.c_str());
  if (s.Bind(1, id).Step()) return BikeRow(s);
  if (!Failed(Db, s, failure)) failure = {TLibraryError::NotFound, {}};
  return std::nullopt;
}

bool TBikeLibrary::SearchBikes(const std::string& text, std::vector<TBike>& bikes,
                               TLibraryFailure& failure) {
  bikes.clear();
  if (Db == nullptr) return Fail(failure);
  const std::string query = MatchQuery(text);
  const bool all = query.empty();
  const std::string sql =
      std::string("SELECT ") + BikeColumns + " FROM bikes b" +
      (all ? "" : " WHERE b.id IN (SELECT rowid FROM bikes_search WHERE bikes_search MATCH ?1)") +
      " ORDER BY b.name COLLATE NOCASE, b.id";
  TStatement s(Db, sql.c_str());
  if (!all) s.Bind(1, query);
  while (s.Step()) bikes.push_back(BikeRow(s));
  return !Failed(Db, s, failure);
}

bool TBikeLibrary::BikesForUnit(const std::string& unit, std::vector<TBike>& bikes,
                                TLibraryFailure& failure) {
  bikes.clear();
  if (Db == nullptr) return Fail(failure);
  const std::string sql =
      std::string("SELECT ") + BikeColumns +
      ", coalesce((SELECT e.unit FROM entries e WHERE e.bike_id=b.id AND e.unit<>''"
      " ORDER BY e.time DESC, e.id DESC LIMIT 1), '')=?1 AS same"
      " FROM bikes b ORDER BY same DESC, b.name COLLATE NOCASE, b.id";
  TStatement s(Db, sql.c_str());
  s.Bind(1, unit);
  while (s.Step()) bikes.push_back(BikeRow(s));
  return !Failed(Db, s, failure);
}

bool TBikeLibrary::AddEntry(THistoryEntry& entry, TLibraryFailure& failure) {
  if (Db == nullptr) return Fail(failure);
  TStatement s(Db, "INSERT INTO entries(bike_id, time, kind, unit, unit_text, path, note)"
                   " VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)");
  s.BindBike(1, entry.BikeId).Bind(2, entry.Time).Bind(3, static_cast<std::int64_t>(entry.Kind));
  s.Bind(4, entry.Unit).Bind(5, entry.UnitText).Bind(6, entry.Path).Bind(7, entry.Note).Step();
  if (Failed(Db, s, failure)) {
    // The bike was deleted by the other program meanwhile.
    if (failure.What == TLibraryError::NameTaken) failure.What = TLibraryError::NotFound;
    return false;
  }
  entry.Id = sqlite3_last_insert_rowid(Db);
  return true;
}

bool TBikeLibrary::EnterRestorePoint(THistoryEntry& entry, TLibraryFailure& failure) {
  if (Db == nullptr) return Fail(failure);
  TWrite write(Db, failure);
  if (!write.Begun) return false;
  TStatement found(Db, "SELECT id FROM entries WHERE path=?1 AND bike_id IS NULL LIMIT 1");
  if (found.Bind(1, entry.Path).Step()) {
    entry.Id = found.Int(0);
    TStatement s(Db, "UPDATE entries SET bike_id=?1, time=?2, kind=?3, unit=?4, unit_text=?5,"
                     " note=?6 WHERE id=?7");
    s.BindBike(1, entry.BikeId).Bind(2, entry.Time).Bind(3, static_cast<std::int64_t>(entry.Kind));
    s.Bind(4, entry.Unit).Bind(5, entry.UnitText).Bind(6, entry.Note).Bind(7, entry.Id).Step();
    if (Failed(Db, s, failure)) {
      if (failure.What == TLibraryError::NameTaken) failure.What = TLibraryError::NotFound;
      return false;
    }
  } else if (Failed(Db, found, failure) || !AddEntry(entry, failure)) {
    return false;
  }
  return write.Commit();
}

bool TBikeLibrary::Entries(std::int64_t bikeId, std::vector<THistoryEntry>& entries,
                           TLibraryFailure& failure) {
  entries.clear();
  if (Db == nullptr) return Fail(failure);
  const std::string sql = std::string("SELECT ") + EntryColumns + " FROM entries WHERE " +
                          (bikeId == 0 ? "bike_id IS NULL" : "bike_id=?1") +
                          " ORDER BY time DESC, id DESC";
  TStatement s(Db, sql.c_str());
  if (bikeId != 0) s.Bind(1, bikeId);
  while (s.Step()) entries.push_back(EntryRow(s));
  return !Failed(Db, s, failure);
}

bool TBikeLibrary::SetEntryNote(std::int64_t entryId, const std::string& note,
                                TLibraryFailure& failure) {
  if (Db == nullptr) return Fail(failure);
  TStatement s(Db, "UPDATE entries SET note=?1 WHERE id=?2");
  s.Bind(1, note).Bind(2, entryId).Step();
  if (Failed(Db, s, failure)) return false;
  if (sqlite3_changes(Db) == 0) {
    failure = {TLibraryError::NotFound, {}};
    return false;
  }
  return true;
}

bool TBikeLibrary::AssignEntries(const std::vector<std::int64_t>& entryIds, std::int64_t bikeId,
                                 TLibraryFailure& failure) {
  if (Db == nullptr) return Fail(failure);
  TWrite write(Db, failure);
  if (!write.Begun) return false;
  for (const std::int64_t id : entryIds) {
    TStatement s(Db, "UPDATE entries SET bike_id=?1 WHERE id=?2");
    s.BindBike(1, bikeId).Bind(2, id).Step();
    if (Failed(Db, s, failure)) {
      if (failure.What == TLibraryError::NameTaken) failure.What = TLibraryError::NotFound;
      return false;
    }
  }
  return write.Commit();
}

std::optional<THistoryEntry> TBikeLibrary::LastUnitEntry(std::int64_t bikeId,
                                                         TLibraryFailure& failure,
                                                         std::int64_t exceptEntry) {
  if (Db == nullptr) return Fail(failure), std::nullopt;
  const std::string sql = std::string("SELECT ") + EntryColumns +
                          " FROM entries WHERE bike_id=?1 AND unit<>'' AND id<>?2"
                          " ORDER BY time DESC, id DESC LIMIT 1";
  TStatement s(Db, sql.c_str());
  if (s.Bind(1, bikeId).Bind(2, exceptEntry).Step()) return EntryRow(s);
  if (!Failed(Db, s, failure)) failure = {TLibraryError::NotFound, {}};
  return std::nullopt;
}

bool TBikeLibrary::AddRestorePointFiles(const std::string& root, int& added,
                                        TLibraryFailure& failure) {
  added = 0;
  if (Db == nullptr) return Fail(failure);
  const std::vector<TRestorePoint> points = ListRestorePoints(root);
  if (points.empty()) return true;
  TWrite write(Db, failure);
  if (!write.Begun) return false;
  for (auto point = points.rbegin(); point != points.rend(); ++point) {
    TStatement known(Db, "SELECT 1 FROM entries WHERE path=?1");
    if (known.Bind(1, point->Path).Step()) continue;
    if (Failed(Db, known, failure)) return false;
    std::tm stamp{};
    stamp.tm_isdst = -1;
    if (std::sscanf(point->Stamp.c_str(), "%d-%d-%d %d:%d:%d", &stamp.tm_year, &stamp.tm_mon,
                    &stamp.tm_mday, &stamp.tm_hour, &stamp.tm_min, &stamp.tm_sec) == 6) {
      stamp.tm_year -= 1900;
      stamp.tm_mon -= 1;
    }
    THistoryEntry entry{0,
                        0,
                        static_cast<std::int64_t>(std::mktime(&stamp)),
                        point->Kind == TRestoreKind::Read ? TEntryKind::Read
                                                          : TEntryKind::Programmed,
                        point->Unit,
                        point->Unit,
                        point->Path,
                        {}};
    if (!AddEntry(entry, failure)) return false;
    ++added;
  }
  if (!write.Commit()) {
    added = 0;
    return false;
  }
  return true;
}

bool TBikeLibrary::AddBikeWithHistory(TBike& bike, bool update, std::vector<THistoryEntry>& entries,
                                      TLibraryFailure& failure) {
  if (Db == nullptr) return Fail(failure);
  TWrite write(Db, failure);
  if (!write.Begun) return false;
  if (update ? !UpdateBike(bike, failure) : !AddBike(bike, failure)) return false;
  for (THistoryEntry& entry : entries) {
    entry.BikeId = bike.Id;
    if (!AddEntry(entry, failure)) return false;
  }
  return write.Commit();
}
