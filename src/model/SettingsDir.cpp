#include "model/SettingsDir.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

namespace {

const char* NonEmptyEnv(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && value[0] != '\0' ? value : nullptr;
}

} // namespace

std::string SettingsDirectory() {
  if (const char* home = NonEmptyEnv("VANTEL_HOME")) return home;
  if (const char* config = NonEmptyEnv("XDG_CONFIG_HOME")) return std::string(config) + "/vantel";
  if (const char* home = NonEmptyEnv("HOME")) return std::string(home) + "/.config/vantel";
  // No HOME (a service or a stripped environment): fall back to the account's home.
  if (const passwd* account = getpwuid(getuid());
      account != nullptr && account->pw_dir != nullptr && account->pw_dir[0] != '\0')
    return std::string(account->pw_dir) + "/.config/vantel";
  return ".config/vantel";
}
