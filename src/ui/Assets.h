// Where the pictures and other data the program ships are found.
#pragma once

#include <string>
#include <vector>

// The directory of the running program, "" when it cannot be told.
std::string ExecutableDirectory();

// The asset directories in the order they are searched: $VANTEL_ASSETS when set and not
// empty, then <executable dir>/assets (where the build copies them beside each program it
// builds), then the installed <executable dir>/../share/vantel/assets.
std::vector<std::string> AssetSearchDirs();

// Full path of the first existing regular file `name` in AssetSearchDirs(), or "" when none.
std::string FindAssetFile(const std::string& name);
