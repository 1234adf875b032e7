#include "link/SerialDevices.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <system_error>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include "i18n/PortTexts.h"
#include "link/PortName.h"

namespace fs = std::filesystem;

namespace {

// The device numbers of the slave ends of pseudo-terminals.
constexpr unsigned UnixPtyFirstMajor = 136, UnixPtyLastMajor = 143;

// The first line of a sysfs attribute, without its line end; empty when it cannot be read.
std::string Attribute(const fs::path& file) {
  std::ifstream in(file);
  std::string line;
  std::getline(in, line);
  while (!line.empty() && std::isspace(static_cast<unsigned char>(line.back()))) line.pop_back();
  return line;
}

// The path with every link resolved; empty when it leads nowhere.
std::string Resolved(const std::string& path) {
  std::error_code ec;
  const fs::path real = fs::canonical(path, ec);
  return ec ? std::string() : real.string();
}

// ttyUSB2 before ttyUSB10: runs of digits compare by their value.
bool NaturalLess(const std::string& a, const std::string& b) {
  std::size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    if (std::isdigit(static_cast<unsigned char>(a[i])) &&
        std::isdigit(static_cast<unsigned char>(b[j]))) {
      std::size_t ei = i, ej = j;
      while (ei < a.size() && std::isdigit(static_cast<unsigned char>(a[ei]))) ++ei;
      while (ej < b.size() && std::isdigit(static_cast<unsigned char>(b[ej]))) ++ej;
      const std::string da = a.substr(i, ei - i), db = b.substr(j, ej - j);
      if (da.size() != db.size()) return da.size() < db.size();
      if (da != db) return da < db;
      i = ei, j = ej;
      continue;
    }
    if (a[i] != b[j]) return a[i] < b[j];
    ++i, ++j;
  }
  return a.size() - i < b.size() - j;
}

// The USB device above the port's device in the tree (the first folder with idVendor), up
// to the root of sysfs.
void ReadUsbAttributes(const fs::path& device, const fs::path& sysRoot, TSerialDevice& out) {
  std::error_code ec;
  for (fs::path dir = device; !dir.empty() && dir != sysRoot && dir != dir.parent_path();
       dir = dir.parent_path()) {
    if (!fs::exists(dir / "idVendor", ec)) continue;
    out.Manufacturer = Attribute(dir / "manufacturer");
    out.Product = Attribute(dir / "product");
    out.Serial = Attribute(dir / "serial");
    return;
  }
}

void FindByIdNames(const TDeviceRoots& roots, std::vector<TSerialDevice>& devices) {
  std::error_code ec;
  std::vector<std::string> names;
  for (const fs::directory_entry& entry :
       fs::directory_iterator(fs::path(roots.Dev) / "serial" / "by-id", ec))
    names.push_back(entry.path().string());
  // In order, so a device with two names shows the same one each time.
  std::sort(names.begin(), names.end());
  for (const std::string& name : names) {
    const std::string target = Resolved(name);
    if (target.empty()) continue;
    for (TSerialDevice& device : devices)
      if (device.ById.empty() && Resolved(device.Path) == target) device.ById = name;
  }
}

// A device that is no listed serial port, as far as the system tells.
TSerialDevice UnlistedDevice(const std::string& path) {
  TSerialDevice device;
  device.Path = Resolved(path);
  device.Name = fs::path(device.Path).filename().string();
  struct stat info {};
  device.PseudoTerminal = ::stat(device.Path.c_str(), &info) == 0 && S_ISCHR(info.st_mode) &&
                          major(info.st_rdev) >= UnixPtyFirstMajor &&
                          major(info.st_rdev) <= UnixPtyLastMajor;
  device.AccessError = ::access(device.Path.c_str(), R_OK | W_OK) == 0 ? 0 : errno;
  return device;
}

} // namespace

std::vector<TSerialDevice> ListSerialDevices(const TDeviceRoots& roots) {
  std::vector<TSerialDevice> devices;
  std::error_code ec;
  const fs::path sysRoot = Resolved(roots.Sys);
  if (sysRoot.empty()) return devices;
  for (const fs::directory_entry& entry : fs::directory_iterator(sysRoot / "class" / "tty", ec)) {
    const fs::path tty = entry.path();
    const std::string device = Resolved((tty / "device").string());
    if (device.empty()) continue; // a console or virtual terminal
    TSerialDevice port;
    port.Name = tty.filename().string();
    // The serial core keeps places for UARTs that may not be there; an empty place has
    // type 0 (no UART found).
    const std::string type = Attribute(tty / "type");
    port.Uart = !type.empty();
    if (port.Uart && type == "0") continue;
    port.Path = (fs::path(roots.Dev) / port.Name).string();
    if (const std::string driver = Resolved(device + "/driver"); !driver.empty())
      port.Driver = fs::path(driver).filename().string();
    if (!port.Uart) ReadUsbAttributes(device, sysRoot, port);
    port.AccessError = ::access(port.Path.c_str(), R_OK | W_OK) == 0 ? 0 : errno;
    devices.push_back(std::move(port));
  }
  std::sort(devices.begin(), devices.end(), [](const TSerialDevice& a, const TSerialDevice& b) {
    return NaturalLess(a.Name, b.Name);
  });
  FindByIdNames(roots, devices);
  return devices;
}

std::vector<TSerialDevice> ListComDevices(const TDeviceRoots& roots) {
  std::vector<TSerialDevice> devices = ListSerialDevices(roots);
  const std::size_t listed = devices.size();
  for (int n = 1; n <= 10; ++n) {
    const std::string mapped = PortDeviceName(n);
    if (Resolved(mapped).empty()) continue;
    if (FindSerialDevice(devices, mapped) != nullptr) continue;
    devices.push_back(UnlistedDevice(mapped));
  }
  std::sort(
      devices.begin() + static_cast<long>(listed), devices.end(),
      [](const TSerialDevice& a, const TSerialDevice& b) { return NaturalLess(a.Path, b.Path); });
  return devices;
}

const TSerialDevice* FindSerialDevice(const std::vector<TSerialDevice>& devices,
                                      const std::string& path) {
  const std::string target = Resolved(path);
  if (target.empty()) return nullptr;
  for (const TSerialDevice& device : devices)
    if (Resolved(device.Path) == target) return &device;
  return nullptr;
}

std::string AdapterText(const TSerialDevice& device, TLanguage language) {
  std::string text = device.Manufacturer;
  if (!device.Product.empty()) text += (text.empty() ? "" : " ") + device.Product;
  if (!device.Serial.empty())
    text += (text.empty() ? "" : ", ") + PortText(TPortText::SerialNumber, language) + " " +
            device.Serial;
  if (!text.empty()) return text;
  if (device.Uart) return PortText(TPortText::OnBoard, language);
  if (device.PseudoTerminal) return PortText(TPortText::PseudoTerminal, language);
  return device.Driver;
}

std::string ComItemsOf(const std::string& path) {
  const std::string target = Resolved(path);
  std::string items;
  if (target.empty()) return items;
  for (int n = 1; n <= 10; ++n) {
    if (Resolved(PortDeviceName(n)) != target) continue;
    items += (items.empty() ? "Com " : ", Com ") + std::to_string(n);
  }
  return items;
}

std::string ComItemDeviceHint(int n, const std::vector<TSerialDevice>& devices,
                              TLanguage language) {
  const std::string mapped = PortDeviceName(n);
  if (mapped.empty()) return {};
  std::string hint = mapped;
  // Through a link: where it leads, as the user recognises the device.
  std::error_code ec;
  if (fs::is_symlink(fs::symlink_status(mapped, ec))) {
    const std::string target = Resolved(mapped);
    hint += " → " + (target.empty() ? fs::read_symlink(mapped, ec).string() : target);
  }
  if (::access(mapped.c_str(), F_OK) != 0)
    return hint + ": " + PortText(TPortText::NotPresent, language);
  const TSerialDevice* listed = FindSerialDevice(devices, mapped);
  const std::string adapter =
      AdapterText(listed != nullptr ? *listed : UnlistedDevice(mapped), language);
  return adapter.empty() ? hint : hint + ": " + adapter;
}
