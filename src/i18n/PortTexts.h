// Texts of the serial-port listing: the Com item hints and the ports dialog.
#pragma once

#include <cstdint>
#include <string>

#include "model/Types.h"

enum class TPortText : std::uint8_t {
  NotPresent,
  SerialNumber,
  OnBoard,
  PseudoTerminal,
  DialogCaption,
  ColumnDevice,
  ColumnAdapter,
  ColumnById,
  ColumnAccess,
  ColumnCom,
  AccessOk,
  AccessDenied,
  Assign,
  Close,
  NoDevices,
  Assigned,         // %1 the Com number, %2 the device
  EnvironmentFirst, // %1 the Com number, %2 the device the variable names
};

// The text of key in language (a value above 3 gives English).
std::string PortText(TPortText key, TLanguage language);

// The text with %1 and %2 replaced.
std::string PortText(TPortText key, TLanguage language, const std::string& first,
                     const std::string& second);
