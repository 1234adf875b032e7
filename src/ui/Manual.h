// Where the user manuals are looked for.
#pragma once

#include <string>
#include <vector>

// The manual directories in the order they are searched: the current directory first (where
// the manuals always were looked for), then the installed documentation directory
// <executable dir>/../share/doc/vantel, then <executable dir>/docs, and last the source
// tree's docs directory (so a program run from its build directory finds them).
std::vector<std::string> ManualSearchDirs();

// Absolute path of the first existing regular file `name` in `dirs`, or "" when none.
// Only a bare file name is looked for: a name with a directory part is not found.
std::string FindManualFile(const std::string& name, const std::vector<std::string>& dirs);
std::string FindManualFile(const std::string& name);
