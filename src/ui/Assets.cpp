#include "ui/Assets.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

std::string ExecutableDirectory() {
  std::error_code ec;
  const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec || exe.empty()) return {};
  return exe.parent_path().string();
}

std::vector<std::string> AssetSearchDirs() {
  std::vector<std::string> dirs;
  if (const char* env = std::getenv("VANTEL_ASSETS"); env != nullptr && *env != '\0')
    dirs.emplace_back(env);
  if (const std::string exeDir = ExecutableDirectory(); !exeDir.empty()) {
    dirs.push_back(exeDir + "/assets");
    dirs.push_back(exeDir + "/../share/vantel/assets");
  }
  return dirs;
}

std::string FindAssetFile(const std::string& name) {
  if (name.empty()) return {};
  for (const std::string& dir : AssetSearchDirs()) {
    const std::string path = dir + "/" + name;
    std::error_code ec;
    if (std::filesystem::is_regular_file(path, ec)) return path;
  }
  return {};
}
