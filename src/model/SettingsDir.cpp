#include "model/SettingsDir.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

namespace {

const char* NonEmptyEnv(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && value[0] != '\0' ? value : nullptr;
}

// $HOME, else the account's home (a service or a stripped environment has no HOME).
std::string HomeDirectory() {
  if (const char* home = NonEmptyEnv("HOME")) return home;
  if (const passwd* account = getpwuid(getuid());
      account != nullptr && account->pw_dir != nullptr && account->pw_dir[0] != '\0')
    return account->pw_dir;
  return {};
}

} // namespace

std::string SettingsDirectory() {
  if (const char* home = NonEmptyEnv("VANTEL_HOME")) return home;
  if (const char* config = NonEmptyEnv("XDG_CONFIG_HOME")) return std::string(config) + "/vantel";
  const std::string home = HomeDirectory();
  return home.empty() ? ".config/vantel" : home + "/.config/vantel";
}

std::string ExtraSettingsPath() {
  return SettingsDirectory() + "/vantel-extra.ini";
}

std::string DataDirectory() {
  if (const char* data = NonEmptyEnv("XDG_DATA_HOME")) return std::string(data) + "/vantel";
  const std::string home = HomeDirectory();
  return home.empty() ? ".local/share/vantel" : home + "/.local/share/vantel";
}
