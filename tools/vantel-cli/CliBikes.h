// The bike library from the command line: `bikes` and `history NAME` list it, and --bike
// files the restore points of read and program under a bike, as the window does while the
// bike is current.
#pragma once

#include <memory>
#include <string>

#include "library/BikeLibrary.h"
#include "model/IgnParams.h"

// The commands that need no unit.
bool IsBikeCommand(const std::string& command);

// bikes [--json], history NAME [--json]; returns the exit status.
int RunBikeCommand(const std::string& command, const std::string& name, bool json);

class TBikeFiling {
public:
  // Opens the library and finds the bike, or with create makes it when missing. 0, or the
  // exit status after the message: 64 for an unknown bike, 4 for a library that cannot be
  // used.
  int Prepare(const std::string& name, bool create);
  bool Active() const { return Library != nullptr; }

  // Writes the unit's record as a restore point and enters it in the bike's history. Empty
  // when both are done, else the line that says what was not kept.
  std::string Store(const TDeviceImage& unit, TEntryKind kind);

  // ,"bike":NAME,"restore_points":[...] for the JSON object; empty while not active.
  std::string JsonFields() const;

private:
  std::unique_ptr<TBikeLibrary> Library;
  TBike Bike;
  std::string Stored; // the restore points written, as JSON strings joined by commas
};
