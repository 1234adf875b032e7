// A private settings home for one test: no test reads or writes the user's own settings,
// data or serial ports. Qt-free, for every kind of test; AppSupport.h gives it Qt strings.
#pragma once

#include <deque>
#include <optional>
#include <string>

// Sets an environment variable (nullopt: removes it) for the life of the guard and puts back
// what was there before.
class TEnvGuard {
public:
  TEnvGuard(const char* name, const std::optional<std::string>& value);
  ~TEnvGuard();
  TEnvGuard(const TEnvGuard&) = delete;
  TEnvGuard& operator=(const TEnvGuard&) = delete;

private:
  std::string Name;
  std::optional<std::string> Old;
};

// A fresh directory as $VANTEL_HOME, and its subfolder data (not made: the program makes it
// when it first writes there) as $XDG_DATA_HOME; both are put back and the directory removed
// when the home goes. With TPorts::Absent the ten Com items name devices that do not exist
// (VANTEL_COM1..10), so a window test never opens a real serial port.
class TTempHome {
public:
  enum class TPorts : bool { AsTheyAre, Absent };
  explicit TTempHome(TPorts ports = TPorts::AsTheyAre);
  ~TTempHome();
  TTempHome(const TTempHome&) = delete;
  TTempHome& operator=(const TTempHome&) = delete;

  const std::string& Path() const { return Dir; }
  std::string File(const std::string& name) const { return Dir + "/" + name; }
  // Writes a file into the home, bytes as given.
  void Write(const std::string& name, const std::string& content) const;

  // Whole files, bytes as they are; a file that cannot be read reads as empty.
  static void Put(const std::string& path, const std::string& content);
  static std::string Slurp(const std::string& path);

private:
  std::string Dir;
  std::deque<TEnvGuard> Env; // put back from the last to the first
};
