// The settings file as the program meets it: read from a real file, every name the program
// asks for read as text and as a number, one value written, the file written and read back.
// The reading agrees with itself, a write changes only its own key, and nothing is lost on
// the way through the file.
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <unistd.h>

#include "FuzzCheck.h"
#include "files/SafeRead.h"
#include "files/Profile.h"
#include "i18n/Failure.h"

namespace {

struct TName {
  const char* Section;
  const char* Key;
};

// The names the program reads, and a spelling of some in another letter case.
constexpr TName Names[] = {
    {"FORM_HLAV", "Left"},
    {"FORM_HLAV", "Top"},
    {"FORM_HLAV", "Width"},
    {"FORM_HLAV", "Height"},
    {"FORM_HLAV", "ComPort"},
    {"FORM_HLAV", "Language"},
    {"FORM_HLAV", "File"},
    {"FORM_HLAV", "IniDir"},
    {"FORM_HLAV", "CheckBoxIgnAll->Checked"},
    {"CURVE_WINDOW", "Left"},
    {"CURVE_WINDOW", "Width"},
    {"CURVE_WINDOW", "RecordFolder"},
    {"RESTORE_POINTS", "BackUp"},
    {"form_hlav", "LANGUAGE"},
    {"Curve_Window", "left"},
};
constexpr std::size_t NameCount = std::size(Names);
const std::string Missing = "\x01missing";

// One file in a folder of its own, removed when the program ends.
class TScratchFile {
public:
  TScratchFile() {
    const char* shm = "/dev/shm";
    const char* tmp = std::getenv("TMPDIR");
    std::string folder = (access(shm, W_OK) == 0 ? shm : tmp ? tmp : "/tmp");
    folder += "/vantel-fuzz-XXXXXX";
    if (mkdtemp(folder.data()) == nullptr) FuzzFail("no scratch folder");
    Folder = folder;
    Path = Folder + "/vantel.ini";
  }
  ~TScratchFile() {
    std::remove(Path.c_str());
    rmdir(Folder.c_str());
  }
  void Put(std::string_view text) const {
    std::FILE* f = std::fopen(Path.c_str(), "wb");
    if (f == nullptr || std::fwrite(text.data(), 1, text.size(), f) != text.size())
      FuzzFail("scratch file not written");
    std::fclose(f);
  }
  std::string Folder, Path;
};

const TScratchFile& Scratch() {
  static const TScratchFile file;
  return file;
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
}

bool SameEntry(const TName& a, const TName& b) {
  return SameName(a.Section, b.Section) && SameName(a.Key, b.Key);
}

// A value as it reads back: its first line, without the blanks around it.
std::string AsRead(const std::string& value) {
  std::string line = value.substr(0, value.find_first_of("\r\n"));
  const std::size_t first = line.find_first_not_of(" \t");
  if (first == std::string::npos) return "";
  return line.substr(first, line.find_last_not_of(" \t") - first + 1);
}

struct TValues {
  std::string Text[NameCount];
};

TValues ReadAll(const TProfileFile& profile) {
  TValues v;
  for (std::size_t i = 0; i < NameCount; ++i) {
    const TName& n = Names[i];
    v.Text[i] = profile.ReadString(n.Section, n.Key, Missing);
    // The number is the text read as a number, or the default.
    const int number = profile.ReadInteger(n.Section, n.Key, -77);
    const int expected = v.Text[i] == Missing ? -77 : ParseProfileInteger(v.Text[i]).value_or(-77);
    if (number != expected) FuzzFail("number and text disagree");
  }
  return v;
}

std::string FileText(const std::string& path) {
  std::string text;
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (f == nullptr) FuzzFail("flushed file missing");
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;) text.append(buffer, n);
  std::fclose(f);
  return text;
}

// The file as written; nullopt when the write was refused, and then the file is unchanged.
std::optional<std::string> Flushed(TProfileFile& profile) {
  const std::string old = FileText(profile.Path());
  TFailureReport failure;
  if (profile.Flush(failure)) {
    std::string text = FileText(profile.Path());
    if (text.size() > ReadLimitBytes) FuzzFail("wrote a file the reader refuses");
    return text;
  }
  if (failure.What != TFailure::TooLarge) FuzzFail("flush failed");
  if (FileText(profile.Path()) != old) FuzzFail("a refused write changed the file");
  return std::nullopt;
}

} // namespace

void CheckProfileInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const TScratchFile& scratch = Scratch();
  scratch.Put(input);
  TProfileFile profile(scratch.Path);
  const TValues before = ReadAll(profile);

  // One value, drawn from the input itself, written under one of the names.
  const std::size_t target = size % NameCount;
  const std::string value(input.substr(size / 2, 40));
  profile.WriteString(Names[target].Section, Names[target].Key, value);
  const TValues after = ReadAll(profile);
  for (std::size_t i = 0; i < NameCount; ++i) {
    if (SameEntry(Names[i], Names[target])) {
      if (after.Text[i] != AsRead(value)) FuzzFail("written value reads back otherwise");
    } else if (after.Text[i] != before.Text[i]) {
      FuzzFail("a write changed another key");
    }
  }
  const int number = static_cast<int>(size * 2654435761u);
  profile.WriteInteger("RESTORE_POINTS", "BackUp", number);
  if (profile.ReadInteger("RESTORE_POINTS", "BackUp", number ^ 1) != number)
    FuzzFail("written number reads back otherwise");
  const TValues changed = ReadAll(profile);

  // Through the file and back: the same values, and the same file when written again.
  const std::optional<std::string> written = Flushed(profile);
  if (profile.LoadFailure() && written) FuzzFail("replaced a file that could not be read");
  if (!written) return;
  const std::string& text = *written;
  TProfileFile reread(scratch.Path);
  if (reread.LoadFailure()) FuzzFail("the written file cannot be read");
  const TValues back = ReadAll(reread);
  for (std::size_t i = 0; i < NameCount; ++i) {
    if (back.Text[i] != changed.Text[i]) FuzzFail("a value changed through the file");
  }
  if (Flushed(reread) != text) FuzzFail("the file changed when written again");
}
