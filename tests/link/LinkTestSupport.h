// Helpers for the link tests: a private settings directory and pseudo-terminal pairs.
#pragma once

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <optional>
#include <string>
#include <unistd.h>

// Sets an environment variable for the life of the guard and restores it afterwards.
class TEnvGuard {
public:
  TEnvGuard(const char* name, const std::optional<std::string>& value) : Name(name) {
    if (const char* old = std::getenv(name)) Old = old;
    if (value)
      setenv(name, value->c_str(), 1);
    else
      unsetenv(name);
  }
  ~TEnvGuard() {
    if (Old)
      setenv(Name.c_str(), Old->c_str(), 1);
    else
      unsetenv(Name.c_str());
  }

private:
  std::string Name;
  std::optional<std::string> Old;
};

// A fresh directory, set as VANTEL_HOME, removed at the end.
class TTempHome {
public:
  TTempHome() {
    char pattern[] = "/tmp/vantel-link-XXXXXX";
    Path = mkdtemp(pattern);
    Env.emplace("VANTEL_HOME", Path);
  }
  ~TTempHome() {
    Env.reset();
    std::error_code ignored;
    std::filesystem::remove_all(Path, ignored);
  }
  std::string Path;

private:
  std::optional<TEnvGuard> Env;
};

// The master side of a pseudo-terminal pair and its slave's path.
struct TPtyPair {
  int Master = -1;
  std::string Slave;
  TPtyPair() {
    Master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (Master >= 0 && grantpt(Master) == 0 && unlockpt(Master) == 0) Slave = ptsname(Master);
  }
  void CloseMaster() {
    if (Master >= 0) close(Master);
    Master = -1;
  }
  ~TPtyPair() { CloseMaster(); }
};
