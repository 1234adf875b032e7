// What went wrong with a file or a serial port, as the core reports it: the sentence of
// the program's own that explains it, the path it concerns and the system's reason. The
// window puts it into words in the current language, after the box's given text.
#pragma once

#include <cstdint>
#include <string>

#include "model/Types.h"

enum class TFailure : std::uint8_t {
  None,
  // A serial port that cannot be opened: the reason, then the sentence.
  PortFailed, // the reason alone
  PortMissing,
  PortNoAccess,
  PortBusy,
  // A file: the sentence, then the reason.
  NotOpened, // the reason alone
  NotAFile,
  NotRead,
  TooLarge,
  FolderNotCreated,
  NotWritable,
  TempNotCreated,
  NotWritten,
  NotOnDisk,
  NotReplaced,
  NotRendered,
  NotALink, // a Com item's link: something else stands in its place
};

struct TFailureReport {
  TFailure What = TFailure::None;
  std::string Path;
  std::string Folder; // the folder that FolderNotCreated names
  int Errno = 0;      // 0 when the system gave no reason
};

// "path: reason. sentence" for a port, "path: sentence: reason" for a file.
std::string DescribeFailure(const TFailureReport& report, TLanguage language);

// The line above the files that could not be written at closing.
std::string SettingsNotKeptText(TLanguage language);
