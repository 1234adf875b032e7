// The language-dependent message texts held by the main window, one field per key.
#pragma once

#include <string>

#include "model/Types.h"

struct TMessageCatalogue {
  std::string MsgManualFile;
  std::string MsgProgramError;
  std::string MsgVerifyError;
  std::string MsgReadError;
  std::string MsgProgramming;
  std::string MsgVerify;
  std::string MsgRead;
  std::string MsgSaving;
  std::string MsgUnitVersionMismatch;
  std::string MsgFileVersionMismatch;
  std::string MsgPrintDateTime;
  std::string MsgPolarity;
  std::string MsgPositive;
  std::string MsgNegative;
  std::string MsgComOpenError;
  std::string MsgOpenFileError;
  std::string MsgAskDefaults;
  std::string MsgManualOpenError;
  std::string MsgAdvance;
  std::string MsgStartLimiter;
  std::string MsgLimiter;
  std::string MsgShiftLight;
  std::string MsgClutchMaster;
  std::string MsgRetard;
  std::string MsgMotorOff;
  std::string MsgProgrammingCount;
  std::string MsgYes;
  std::string MsgNo;
  std::string MsgPickup;
  std::string MsgIsRunning;
  std::string MsgNoSignal;
  std::string MsgInput;
  std::string MsgBasic;
};

// Fills every field for the given language (0..3; any other value gives English).
// MsgOpenFileError and MsgManualOpenError are composed from the open-file base text.
void FillMessageCatalogue(TMessageCatalogue& catalogue, TLanguage language);
