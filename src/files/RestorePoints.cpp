#include "files/RestorePoints.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <system_error>

#include "files/IgnFile.h"
#include "files/SafeWrite.h"
#include "model/SettingsDir.h"

namespace fs = std::filesystem;

namespace {

constexpr int MaxSequence = 999;

const char* KindWord(TRestoreKind kind) {
  return kind == TRestoreKind::Read ? "read" : "programmed";
}

bool Safe(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' ||
         c == '-' || c == '_';
}

// One identity text: blanks that pad a number ("14. 3.2024") and those at either end go,
// ':' becomes '-', any other run of unsafe characters one '_'.
std::string FolderPart(const std::string& text) {
  std::string part;
  for (const char c : text) {
    if (c == ' ' && (part.empty() || part.back() == '.' || part.back() == '_')) continue;
    const char put = c == ':' ? '-' : Safe(c) ? c : '_';
    if (put == '_' && !part.empty() && part.back() == '_') continue;
    part += put;
  }
  while (!part.empty() && part.back() == '_') part.pop_back();
  while (!part.empty() && part.front() == '_') part.erase(part.begin());
  return part;
}

bool Digits(const std::string& s, std::size_t at, std::size_t count) {
  if (at + count > s.size()) return false;
  for (std::size_t i = at; i < at + count; ++i)
    if (s[i] < '0' || s[i] > '9') return false;
  return true;
}

// "YYYY-MM-DD_HH-MM-SS[-n]-kind.ign" -> the stamp, the sequence and the kind.
bool ParseName(const std::string& name, std::string& stamp, int& sequence, TRestoreKind& kind) {
  static constexpr const char Pattern[] = "0000-00-00_00-00-00";
  constexpr std::size_t StampLength = sizeof Pattern - 1;
  if (name.size() <= StampLength) return false;
  for (std::size_t i = 0; i < StampLength; ++i) {
    if (Pattern[i] == '0' ? !Digits(name, i, 1) : name[i] != Pattern[i]) return false;
  }
  std::string rest = name.substr(StampLength);
  sequence = 1;
  if (rest.size() > 1 && rest[0] == '-' && Digits(rest, 1, 1)) {
    std::size_t end = 1;
    while (end < rest.size() && end < 5 && Digits(rest, end, 1)) ++end;
    sequence = std::stoi(rest.substr(1, end - 1));
    rest = rest.substr(end);
  }
  if (rest == "-read.ign")
    kind = TRestoreKind::Read;
  else if (rest == "-programmed.ign")
    kind = TRestoreKind::Programmed;
  else
    return false;
  stamp = name.substr(0, 10) + ' ' + name.substr(11, 2) + ':' + name.substr(14, 2) + ':' +
          name.substr(17, 2);
  return true;
}

} // namespace

std::string RestorePointsDirectory() {
  return DataDirectory() + "/restore-points";
}

std::string UnitFolderName(const TUnitIdentity& id) {
  std::string name;
  for (const std::string* text : {&id.UnitVersionText, &id.UnitDateText, &id.UnitTimeText}) {
    const std::string part = FolderPart(*text);
    if (part.empty()) continue;
    if (!name.empty()) name += '_';
    name += part;
  }
  // Never ".", "..", nor hidden.
  while (!name.empty() && name.front() == '.') name.erase(name.begin());
  return name.empty() ? "unit" : name;
}

std::string RestorePointFileName(const std::tm& local, TRestoreKind kind, int sequence) {
  char name[80];
  std::snprintf(name, sizeof name, "%04d-%02d-%02d_%02d-%02d-%02d", local.tm_year + 1900,
                local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
  std::string text = name;
  if (sequence > 1) text += '-' + std::to_string(sequence);
  return text + '-' + KindWord(kind) + ".ign";
}

std::vector<TRestorePoint> ListRestorePoints(const std::string& root) {
  struct TFound {
    TRestorePoint Point;
    int Sequence;
    fs::file_time_type Written;
  };
  std::vector<TFound> found;
  std::error_code ec;
  for (fs::directory_iterator units(root, ec), end; !ec && units != end; units.increment(ec)) {
    if (!units->is_directory(ec)) continue;
    const std::string unit = units->path().filename().string();
    for (fs::directory_iterator files(units->path(), ec); !ec && files != end;
         files.increment(ec)) {
      TFound f{{files->path().string(), unit, {}, {}}, 1, {}};
      if (!ParseName(files->path().filename().string(), f.Point.Stamp, f.Sequence, f.Point.Kind))
        continue;
      if (!files->is_regular_file(ec)) continue;
      f.Written = files->last_write_time(ec);
      found.push_back(std::move(f));
    }
    ec.clear(); // an unreadable unit folder hides only itself
  }
  // Within one second the order of writing decides.
  std::sort(found.begin(), found.end(), [](const TFound& a, const TFound& b) {
    if (a.Point.Stamp != b.Point.Stamp) return a.Point.Stamp > b.Point.Stamp;
    if (a.Written != b.Written) return a.Written > b.Written;
    if (a.Sequence != b.Sequence) return a.Sequence > b.Sequence;
    return a.Point.Path > b.Point.Path;
  });
  std::vector<TRestorePoint> points;
  points.reserve(found.size());
  for (TFound& f : found) points.push_back(std::move(f.Point));
  return points;
}

bool WriteRestorePoint(const std::string& root, const TUnitIdentity& id, const TIgnParams& p,
                       TRestoreKind kind, std::time_t when, std::string& path,
                       TFailureReport& failure) {
  std::tm local{};
  localtime_r(&when, &local);
  const fs::path folder = fs::path(root) / UnitFolderName(id);
  // A name that cannot be looked at is not taken: the write then says why.
  const auto taken = [](const std::string& name) {
    std::error_code ec;
    const fs::file_type type = fs::symlink_status(name, ec).type();
    return type != fs::file_type::not_found && type != fs::file_type::none;
  };
  int sequence = 1;
  do {
    path = (folder / RestorePointFileName(local, kind, sequence)).string();
  } while (taken(path) && ++sequence <= MaxSequence);
  if (sequence > MaxSequence) {
    failure = {TFailure::NotReplaced, path, {}, EEXIST};
    return false;
  }
  std::ostringstream text(std::ios::out | std::ios::binary);
  WriteIgnFile(text, p);
  return WriteFileSafely(path, text.str(), failure, TFolder::Create);
}
