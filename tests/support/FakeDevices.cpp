#include "support/FakeDevices.h"

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

void Put(const fs::path& file, const std::string& content) {
  fs::create_directories(file.parent_path());
  std::ofstream(file) << content << "\n";
}

} // namespace

TFakeDevices::TFakeDevices(const std::string& root) : Sys(root + "/sys"), Dev(root + "/dev") {
  fs::create_directories(Sys + "/class/tty");
  fs::create_directories(Dev);
}

void TFakeDevices::PlugUsb(const std::string& name, const TUsb& usb) {
  const std::string number = std::to_string(++Adapters);
  const fs::path device = fs::path(Sys) / "devices/pci0000:00/0000:00:14.0/usb1" / ("1-" + number);
  const fs::path interface = device / ("1-" + number + ":1.0");
  Put(device / "idVendor", "0403");
  if (!usb.Manufacturer.empty()) Put(device / "manufacturer", usb.Manufacturer);
  if (!usb.Product.empty()) Put(device / "product", usb.Product);
  if (!usb.Serial.empty()) Put(device / "serial", usb.Serial);
  // A USB serial converter has a port device below the interface; a CDC modem is the
  // interface itself.
  const bool acm = name.rfind("ttyACM", 0) == 0;
  const fs::path port = acm ? interface : interface / name;
  const fs::path driver =
      fs::path(Sys) / (acm ? "bus/usb/drivers" : "bus/usb-serial/drivers") / usb.Driver;
  fs::create_directories(driver);
  fs::create_directories(port / "tty" / name);
  fs::create_directory_symlink(driver, port / "driver");
  const fs::path tty = fs::path(Sys) / "class/tty" / name;
  fs::create_directory_symlink(port / "tty" / name, tty);
  fs::create_directory_symlink(port, port / "tty" / name / "device");
  if (usb.NodeTarget.empty())
    Put(Node(name), "");
  else
    fs::create_symlink(usb.NodeTarget, Node(name));
  if (!usb.ById.empty()) {
    fs::create_directories(Dev + "/serial/by-id");
    fs::create_symlink("../../" + name, Dev + "/serial/by-id/" + usb.ById);
  }
}

void TFakeDevices::AddUart(const std::string& name, int type) {
  const fs::path platform = fs::path(Sys) / "devices/platform/serial8250";
  fs::create_directories(fs::path(Sys) / "bus/platform/drivers/serial8250");
  fs::create_directories(platform / "tty" / name);
  if (!fs::exists(platform / "driver"))
    fs::create_directory_symlink(fs::path(Sys) / "bus/platform/drivers/serial8250",
                                 platform / "driver");
  fs::create_directory_symlink(platform, platform / "tty" / name / "device");
  Put(platform / "tty" / name / "type", std::to_string(type));
  fs::create_directory_symlink(platform / "tty" / name, fs::path(Sys) / "class/tty" / name);
  Put(Node(name), "");
}

void TFakeDevices::AddTerminal(const std::string& name) {
  fs::create_directories(fs::path(Sys) / "devices/virtual/tty" / name);
  fs::create_directory_symlink(fs::path(Sys) / "devices/virtual/tty" / name,
                               fs::path(Sys) / "class/tty" / name);
  Put(Node(name), "");
}

void TFakeDevices::Pull(const std::string& name) {
  std::error_code ec;
  fs::remove(fs::path(Sys) / "class/tty" / name, ec);
  fs::remove(Node(name), ec);
  for (const auto& entry : fs::directory_iterator(Dev + "/serial/by-id", ec))
    if (fs::read_symlink(entry.path(), ec) == "../../" + name) fs::remove(entry.path(), ec);
}
