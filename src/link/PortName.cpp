#include "link/PortName.h"

#include <cstdlib>
#include <sys/stat.h>

#include "model/SettingsDir.h"

std::string PortDeviceName(int n) {
  if (n < 1 || n > 10) return {};
  const std::string number = std::to_string(n);
  const std::string variable = "VANTEL_COM" + number;
  if (const char* device = std::getenv(variable.c_str()); device != nullptr && device[0] != '\0')
    return device;
  // lstat, so a dangling link is still chosen and its open failure names it.
  const std::string link = SettingsDirectory() + "/com" + number;
  struct stat info {};
  if (lstat(link.c_str(), &info) == 0) return link;
  return "/dev/ttyUSB" + std::to_string(n - 1);
}
