// A bike with its history as a folder, for moving it to another workshop computer: its
// .ign files, its notes as one UTF-8 text file and bike.json describing the bike and its
// entries. Only the bike the user picked is written.
#pragma once

#include <string>

#include "library/BikeLibrary.h"

// Writes the bike into a new folder under destination, named after the bike (with " 2",
// " 3" ... when the name is taken). folder is the folder made. An entry whose file is gone
// is described without a file. On failure the folder made so far stays, incomplete, and
// failure says why.
bool ExportBike(TBikeLibrary& library, std::int64_t bikeId, const std::string& destination,
                std::string& folder, TLibraryFailure& failure);

enum class TImportMode : std::uint8_t {
  Refuse, // a bike of the same name: NameTaken, nothing changes
  Merge,  // a bike of the same name takes the imported details and history
  Rename, // imported under the name with " (2)", " (3)" ... after it
};

// Adds the bike exported into folder, its files copied under filesRoot/<folder name>; the
// library's entries point at the copies. All or nothing: on failure no entry is added and
// the copies made are removed again. name is the name the bike has in the library.
bool ImportBike(TBikeLibrary& library, const std::string& folder, const std::string& filesRoot,
                TImportMode mode, std::string& name, TLibraryFailure& failure);

// DataDirectory()/imported: where imported files are kept.
std::string ImportedFilesDirectory();
