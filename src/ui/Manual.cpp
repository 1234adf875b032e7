#include "ui/Manual.h"

#include "ui/Assets.h"

#include <filesystem>
#include <system_error>

#include <unistd.h>

namespace fs = std::filesystem;

std::vector<std::string> ManualSearchDirs() {
  std::vector<std::string> dirs;
  std::error_code ec;
  if (const fs::path cwd = fs::current_path(ec); !ec) dirs.push_back(cwd.string());
  if (const std::string exeDir = ExecutableDirectory(); !exeDir.empty()) {
    dirs.push_back(exeDir + "/../share/doc/vantel");
    dirs.push_back(exeDir + "/docs");
  }
  return dirs;
}

std::string FindManualFile(const std::string& name, const std::vector<std::string>& dirs) {
  if (name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos) return {};
  for (const std::string& dir : dirs) {
    if (dir.empty()) continue;
    std::error_code ec;
    const fs::path path = fs::path(dir) / name;
    // A manual the viewer could not read counts as missing, so the user hears of it.
    if (!fs::is_regular_file(path, ec) || ::access(path.c_str(), R_OK) != 0) continue;
    const fs::path full = fs::absolute(path, ec);
    return ec ? path.string() : full.lexically_normal().string();
  }
  return {};
}

std::string FindManualFile(const std::string& name) {
  return FindManualFile(name, ManualSearchDirs());
}
