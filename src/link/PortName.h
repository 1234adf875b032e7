// Device names for the Com menu items on this platform.
#pragma once

#include <string>

// Com n (1..10): $VANTEL_COM<n> when set and not empty, else the file or symlink com<n> in
// the settings directory when it exists, else /dev/ttyUSB<n-1>. Empty for any other n.
std::string PortDeviceName(int n);
