#include "library/BikeExport.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "files/RestorePoints.h"
#include "files/SafeRead.h"
#include "files/SafeWrite.h"
#include "library/Json.h"
#include "model/SettingsDir.h"

namespace {

constexpr const char* DescriptionName = "bike.json";
constexpr const char* NotesName = "notes.txt";
constexpr const char* Format = "vantel-bike";

// A file or folder name from a bike's name or a file of an export: no separator, no
// control character, never hidden, "." or "..".
std::string SafeName(const std::string& text, const std::string& fallback) {
  std::string name;
  for (const char c : text) {
    const auto b = static_cast<unsigned char>(c);
    name += (c == '/' || c == '\\' || b < 0x20 || b == 0x7F || c == ':' || c == '*' || c == '?' ||
             c == '"' || c == '<' || c == '>' || c == '|')
                ? '_'
                : c;
  }
  while (!name.empty() && (name.front() == '.' || name.front() == ' ')) name.erase(name.begin());
  while (!name.empty() && (name.back() == ' ' || name.back() == '.')) name.pop_back();
  // Folder names stay well within the system's limit, cut at a character's start.
  if (name.size() > 120) {
    std::size_t cut = 120;
    while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80) --cut;
    name.resize(cut);
  }
  return name.empty() ? fallback : name;
}

bool Exists(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0;
}

std::string BaseName(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

TLibraryFailure NotWritten(const TFailureReport& report) {
  return {TLibraryError::NotWritten,
          report.Path + (report.Errno != 0 ? std::string(": ") + std::strerror(report.Errno) : "")};
}

// The details of a bike in the description and back.
const std::pair<const char*, std::string TBike::*> BikeFields[] = {
    {"name", &TBike::Name},   {"customer", &TBike::Customer},
    {"make", &TBike::Make},   {"model", &TBike::Model},
    {"year", &TBike::Year},   {"registration", &TBike::Registration},
    {"notes", &TBike::Notes},
};

} // namespace

std::string ImportedFilesDirectory() {
  return DataDirectory() + "/imported";
}

bool ExportBike(TBikeLibrary& library, std::int64_t bikeId, const std::string& destination,
                std::string& folder, TLibraryFailure& failure) {
  const std::optional<TBike> bike = library.BikeById(bikeId, failure);
  if (!bike) return false;
  std::vector<THistoryEntry> entries;
  if (!library.Entries(bikeId, entries, failure)) return false;

  const std::string base = destination + "/" + SafeName(bike->Name, "bike");
  folder = base;
  for (int n = 2; Exists(folder); ++n) folder = base + " " + std::to_string(n);
  if (::mkdir(folder.c_str(), 0700) != 0) {
    failure = {TLibraryError::NotWritten, folder + ": " + std::strerror(errno)};
    return false;
  }

  std::string json =
      "{\n  \"format\": " + JsonQuote(Format) + ",\n  \"version\": 1,\n  \"bike\": {";
  for (std::size_t i = 0; i < std::size(BikeFields); ++i)
    json += std::string(i == 0 ? "\n" : ",\n") + "    " + JsonQuote(BikeFields[i].first) + ": " +
            JsonQuote((*bike).*BikeFields[i].second);
  json += "\n  },\n  \"entries\": [";
  std::string notes = bike->Name + "\n\n" + bike->Notes + "\n";
  int number = 0;
  TFailureReport report;
  // Oldest first, as the history was made.
  for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry) {
    std::string content, file;
    if (ReadFileSafely(entry->Path, content, report)) {
      char prefix[16];
      std::snprintf(prefix, sizeof prefix, "%03d-", ++number);
      file = prefix + SafeName(BaseName(entry->Path), "file.ign");
      if (!WriteFileSafely(folder + "/" + file, content, report)) {
        failure = NotWritten(report);
        return false;
      }
    }
    json += std::string(entry == entries.rbegin() ? "\n" : ",\n") +
            "    {\"time\": " + std::to_string(entry->Time) +
            ", \"kind\": " + JsonQuote(EntryKindWord(entry->Kind)) +
            ", \"unit\": " + JsonQuote(entry->Unit) +
            ", \"unit_text\": " + JsonQuote(entry->UnitText) +
            ", \"path\": " + JsonQuote(entry->Path) +
            ", \"file\": " + (file.empty() ? std::string("null") : JsonQuote(file)) +
            ", \"note\": " + JsonQuote(entry->Note) + "}";
    if (!entry->Note.empty())
      notes += "\n" + EntryTimeText(entry->Time) + " " + EntryKindWord(entry->Kind) + ": " +
               entry->Note + "\n";
  }
  json += "\n  ]\n}\n";
  if (!WriteFileSafely(folder + "/" + NotesName, notes, report) ||
      !WriteFileSafely(folder + "/" + DescriptionName, json, report)) {
    failure = NotWritten(report);
    return false;
  }
  return true;
}

bool ImportBike(TBikeLibrary& library, const std::string& folder, const std::string& filesRoot,
                TImportMode mode, std::string& name, TLibraryFailure& failure) {
  std::string text;
  TFailureReport report;
  if (!ReadFileSafely(folder + "/" + DescriptionName, text, report)) {
    failure = {TLibraryError::NotABikeFolder, folder};
    return false;
  }
  const std::optional<TJson> json = ParseJson(text);
  if (!json || json->Text("format") != Format || (*json)["bike"].Kind != TJson::TKind::Object) {
    failure = {TLibraryError::NotABikeFolder, folder + "/" + DescriptionName};
    return false;
  }
  TBike bike;
  for (const auto& [key, field] : BikeFields) bike.*field = (*json)["bike"].Text(key);
  if (const TLibraryError e = CheckBikeName(bike.Name); e != TLibraryError::None) {
    failure = {e, {}};
    return false;
  }

  // Where the same name stands already.
  TLibraryFailure lookup;
  std::optional<TBike> existing = library.FindBike(bike.Name, lookup);
  if (!existing && lookup.What != TLibraryError::NotFound) {
    failure = lookup;
    return false;
  }
  if (existing && mode == TImportMode::Refuse) {
    failure = {TLibraryError::NameTaken, bike.Name};
    return false;
  }
  if (existing && mode == TImportMode::Rename) {
    const std::string base = bike.Name;
    for (int n = 2; existing; ++n) {
      bike.Name = base + " (" + std::to_string(n) + ")";
      existing = library.FindBike(bike.Name, lookup);
      if (!existing && lookup.What != TLibraryError::NotFound) {
        failure = lookup;
        return false;
      }
    }
    if (const TLibraryError e = CheckBikeName(bike.Name); e != TLibraryError::None) {
      failure = {e, {}};
      return false;
    }
  }

  // The files first, into a folder of their own; the entries point at the copies.
  const std::string stamp = std::to_string(std::time(nullptr));
  std::string target = filesRoot + "/" + SafeName(BaseName(folder), "bike") + "-" + stamp;
  for (int n = 2; Exists(target); ++n) target += "-" + std::to_string(n);
  std::vector<std::string> copied;
  std::vector<THistoryEntry> entries;
  const auto undo = [&] {
    for (const std::string& path : copied) ::unlink(path.c_str());
    ::rmdir(target.c_str());
  };
  for (const TJson& item : (*json)["entries"].Array) {
    THistoryEntry entry;
    const TJson& time = item["time"];
    entry.Time = time.Kind == TJson::TKind::Number ? static_cast<std::int64_t>(time.Number) : 0;
    entry.Kind = EntryKindFromWord(item.Text("kind")).value_or(TEntryKind::Read);
    entry.Unit = item.Text("unit");
    entry.UnitText = item.Text("unit_text");
    entry.Note = item.Text("note");
    entry.Path = item.Text("path");
    const std::string file = item.Text("file");
    // Only a plain name inside the exported folder: never a path that leads out of it.
    if (!file.empty()) {
      if (SafeName(file, "") != file || file.find("..") != std::string::npos) {
        undo();
        failure = {TLibraryError::NotABikeFolder, file};
        return false;
      }
      std::string content;
      if (!ReadFileSafely(folder + "/" + file, content, report)) {
        undo();
        failure = {TLibraryError::NotABikeFolder, report.Path};
        return false;
      }
      entry.Path = target + "/" + file;
      if (!WriteFileSafely(entry.Path, content, report, TFolder::Create)) {
        undo();
        failure = NotWritten(report);
        return false;
      }
      copied.push_back(entry.Path);
    }
    entries.push_back(std::move(entry));
  }

  if (existing) bike.Id = existing->Id;
  if (!library.AddBikeWithHistory(bike, existing.has_value(), entries, failure)) {
    undo();
    return false;
  }
  name = bike.Name;
  return true;
}
