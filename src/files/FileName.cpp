#include "files/FileName.h"

#include <filesystem>
#include <system_error>

bool NeedsDefaultExtension(const std::string& path) {
  namespace fs = std::filesystem;
  std::error_code ec;
  // A dangling symbolic link exists as a name, too.
  if (fs::exists(fs::symlink_status(path, ec))) return false;
  return fs::path(path).filename().string().find('.') == std::string::npos;
}
