#include "support/TempHome.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

TEnvGuard::TEnvGuard(const char* name, const std::optional<std::string>& value) : Name(name) {
  if (const char* old = std::getenv(name)) Old = old;
  if (value)
    ::setenv(name, value->c_str(), 1);
  else
    ::unsetenv(name);
}

TEnvGuard::~TEnvGuard() {
  if (Old)
    ::setenv(Name.c_str(), Old->c_str(), 1);
  else
    ::unsetenv(Name.c_str());
}

TTempHome::TTempHome(TPorts ports) {
  std::string pattern = (std::filesystem::temp_directory_path() / "vantel-test-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr)
    throw std::runtime_error("no temporary directory for the test's settings home");
  Dir = pattern;
  Env.emplace_back("VANTEL_HOME", Dir);
  Env.emplace_back("XDG_DATA_HOME", Dir + "/data");
  if (ports == TPorts::Absent)
    for (int n = 1; n <= 10; ++n) {
      const std::string name = "VANTEL_COM" + std::to_string(n);
      Env.emplace_back(name.c_str(), File("no-such-port-" + std::to_string(n)));
    }
}

TTempHome::~TTempHome() {
  while (!Env.empty()) Env.pop_back();
  std::error_code ignored;
  std::filesystem::remove_all(Dir, ignored);
}

void TTempHome::Write(const std::string& name, const std::string& content) const {
  Put(File(name), content);
}

void TTempHome::Put(const std::string& path, const std::string& content) {
  std::ofstream(path, std::ios::binary) << content;
}

std::string TTempHome::Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
