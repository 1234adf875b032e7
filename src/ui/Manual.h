// Where the user manuals are looked for.
#pragma once

#include <string>
#include <vector>

// The manual directories in the order they are searched: the current directory first (a
// workshop that keeps its own or newer manuals beside its files gets those), then the
// installed documentation directory
// <executable dir>/../share/doc/vantel, then <executable dir>/docs, where the build puts
// them beside the program it builds. No path of the source tree is compiled in.
std::vector<std::string> ManualSearchDirs();

// Absolute path of the first existing regular file `name` in `dirs`, or "" when none.
// Only a bare file name is looked for: a name with a directory part is not found.
std::string FindManualFile(const std::string& name, const std::vector<std::string>& dirs);
std::string FindManualFile(const std::string& name);
