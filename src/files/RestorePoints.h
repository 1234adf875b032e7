// Restore points: the parameters a unit held when they were read from it, and the ones
// programmed into it, kept as .ign files in a folder per unit under the user's data
// directory, named by date, time and kind. Never deleted by the program.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

#include "i18n/Failure.h"
#include "model/Identity.h"
#include "model/IgnParams.h"

enum class TRestoreKind : std::uint8_t { Read, Programmed };

// DataDirectory()/restore-points.
std::string RestorePointsDirectory();

// The unit's identity texts as one folder name: letters, digits, '.', '-' and '_' only,
// never hidden, never empty ("VNT12_14.3.2024_12-30").
std::string UnitFolderName(const TUnitIdentity& id);

// "2024-03-14_12-30-05-read.ign"; a sequence above 1 ("...-05-2-read.ign") for another
// restore point of the same kind within the same second.
std::string RestorePointFileName(const std::tm& local, TRestoreKind kind, int sequence = 1);

struct TRestorePoint {
  std::string Path;
  std::string Unit;  // its folder's name
  std::string Stamp; // "2024-03-14 12:30:05"
  TRestoreKind Kind = TRestoreKind::Read;
};

// Every restore point under root, newest first; names that are no restore point's are
// passed over, and a missing or unreadable folder lists nothing.
std::vector<TRestorePoint> ListRestorePoints(const std::string& root);

// Writes the record as a .ign file (the parameter file's own writer) into root/<unit>/,
// through the safe replace path, creating the folders; never over an existing file. On
// failure returns false with the report and leaves no file behind.
bool WriteRestorePoint(const std::string& root, const TUnitIdentity& id, const TIgnParams& p,
                       TRestoreKind kind, std::time_t when, std::string& path,
                       TFailureReport& failure);
