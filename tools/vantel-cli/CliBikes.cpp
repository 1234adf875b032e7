#include "CliBikes.h"

#include <cstdio>
#include <ctime>
#include <vector>

#include "CliOutput.h"
#include "files/RestorePoints.h"
#include "library/Json.h"
#include "model/Identity.h"
#include "usage/Usage.h"

namespace {

constexpr int ExitFile = 4;
constexpr int ExitUsage = 64;

int Fail(int status, const std::string& text) {
  std::fprintf(stderr, "vantel-cli: %s\n", text.c_str());
  return status;
}

std::string LibraryError(const TLibraryFailure& failure) {
  return "bike library " + BikeLibraryPath() + ": " +
         LibraryErrorText(failure.What, failure.Detail, LangEnglish);
}

// Notes and names on one line of a terminal: line ends and other control characters as
// blanks, so a note cannot start a line of its own or move the cursor.
std::string OneLine(const std::string& text) {
  std::string out = text;
  for (char& c : out) {
    const auto b = static_cast<unsigned char>(c);
    if (b < 0x20 || b == 0x7F) c = ' ';
  }
  return out;
}

bool OpenLibrary(TBikeLibrary& library, int& status) {
  TBikeLibrary::TOpenReport report;
  TLibraryFailure failure;
  if (!library.Open(BikeLibraryPath(), RestorePointsDirectory(), report, failure)) {
    status = Fail(ExitFile, LibraryError(failure));
    return false;
  }
  if (!report.MovedAside.empty())
    std::fprintf(stderr, "vantel-cli: %s\n",
                 BikeText(TBikeText::LibraryMovedAside, LangEnglish, {report.MovedAside}).c_str());
  return true;
}

std::string BikeJson(const TBike& b) {
  return "{\"name\":" + JsonQuote(b.Name) + ",\"customer\":" + JsonQuote(b.Customer) +
         ",\"make\":" + JsonQuote(b.Make) + ",\"model\":" + JsonQuote(b.Model) +
         ",\"year\":" + JsonQuote(b.Year) + ",\"registration\":" + JsonQuote(b.Registration) +
         ",\"notes\":" + JsonQuote(b.Notes) + "}";
}

int ListBikes(TBikeLibrary& library, bool json) {
  std::vector<TBike> bikes;
  TLibraryFailure failure;
  if (!library.SearchBikes("", bikes, failure)) return Fail(ExitFile, LibraryError(failure));
  std::string out = json ? "[" : "";
  for (const TBike& b : bikes) {
    if (json) {
      out += (out.size() > 1 ? ",\n" : "\n") + BikeJson(b);
      continue;
    }
    std::string line = OneLine(b.Name);
    for (const std::string* field : {&b.Customer, &b.Make, &b.Model, &b.Year, &b.Registration})
      if (!field->empty()) line += "\t" + OneLine(*field);
    out += line + "\n";
  }
  if (json) out += "\n]\n";
  return WriteText(out, stdout) ? 0 : Fail(ExitFile, "standard output: cannot write");
}

int ListHistory(TBikeLibrary& library, const std::string& name, bool json) {
  TLibraryFailure failure;
  const std::optional<TBike> bike = library.FindBike(name, failure);
  if (!bike) {
    if (failure.What != TLibraryError::NotFound) return Fail(ExitFile, LibraryError(failure));
    return Fail(ExitUsage, "no bike named \"" + OneLine(name) +
                               "\" in the library (vantel-cli "
                               "bikes lists them)");
  }
  std::vector<THistoryEntry> entries;
  if (!library.Entries(bike->Id, entries, failure)) return Fail(ExitFile, LibraryError(failure));
  std::string out = json ? "{\"bike\":" + BikeJson(*bike) + ",\"entries\":[" : "";
  bool first = true;
  for (const THistoryEntry& e : entries) {
    if (json) {
      out += std::string(first ? "\n" : ",\n") + "{\"time\":" + JsonQuote(EntryTimeText(e.Time)) +
             ",\"kind\":" + JsonQuote(EntryKindWord(e.Kind)) +
             ",\"unit\":" + JsonQuote(e.UnitText) + ",\"file\":" + JsonQuote(e.Path) +
             ",\"note\":" + JsonQuote(e.Note) + "}";
    } else {
      out += EntryTimeText(e.Time) + "\t" + EntryKindWord(e.Kind) + "\t" + OneLine(e.UnitText) +
             "\t" + OneLine(e.Path) + (e.Note.empty() ? "" : "\t" + OneLine(e.Note)) + "\n";
    }
    first = false;
  }
  if (json) out += "\n]}\n";
  return WriteText(out, stdout) ? 0 : Fail(ExitFile, "standard output: cannot write");
}

} // namespace

bool IsBikeCommand(const std::string& command) {
  return command == "bikes" || command == "history";
}

int RunBikeCommand(const std::string& command, const std::string& name, bool json) {
  TBikeLibrary library;
  int status = 0;
  if (!OpenLibrary(library, status)) return status;
  return command == "bikes" ? ListBikes(library, json) : ListHistory(library, name, json);
}

int TBikeFiling::Prepare(const std::string& name, bool create) {
  auto library = std::make_unique<TBikeLibrary>();
  int status = 0;
  if (!OpenLibrary(*library, status)) return status;
  TLibraryFailure failure;
  std::optional<TBike> bike = library->FindBike(name, failure);
  if (!bike && failure.What != TLibraryError::NotFound)
    return Fail(ExitFile, LibraryError(failure));
  if (!bike && !create)
    return Fail(ExitUsage, "no bike named \"" + OneLine(name) +
                               "\" in the library (vantel-cli bikes lists them; --new-bike "
                               "makes it)");
  if (!bike) {
    TBike made;
    made.Name = name;
    if (!library->AddBike(made, failure)) {
      const bool usage = failure.What == TLibraryError::NameEmpty ||
                         failure.What == TLibraryError::NameTooLong ||
                         failure.What == TLibraryError::NameInvalid;
      return Fail(usage ? ExitUsage : ExitFile, LibraryError(failure));
    }
    bike = made;
  }
  Bike = *bike;
  Library = std::move(library);
  return 0;
}

std::string TBikeFiling::Store(const TDeviceImage& unit, TEntryKind kind) {
  if (!Library) return {};
  TUnitIdentity identity;
  DecodeUnitIdentity(unit, identity);
  const std::time_t now = std::time(nullptr);
  std::string path;
  TFailureReport report;
  const TRestoreKind file =
      kind == TEntryKind::Programmed ? TRestoreKind::Programmed : TRestoreKind::Read;
  if (!WriteRestorePoint(RestorePointsDirectory(), identity, unit.Params, file, now, path, report))
    return "restore point not kept: " + DescribeFailure(report, LangEnglish);
  if (!Stored.empty()) Stored += ",";
  Stored += JsonQuote(path);
  THistoryEntry entry{0,    Bike.Id, now, kind, UnitKey(identity), UnitIdentityText(identity),
                      path, {}};
  TLibraryFailure failure;
  if (!Library->EnterRestorePoint(entry, failure))
    return "restore point " + path + " kept, but not entered in the history of " +
           OneLine(Bike.Name) + ": " + LibraryErrorText(failure.What, failure.Detail, LangEnglish);
  return {};
}

std::string TBikeFiling::JsonFields() const {
  if (!Library) return {};
  return ",\"bike\":" + JsonQuote(Bike.Name) + ",\"restore_points\":[" + Stored + "]";
}
