// Names the user types into the file dialogs.
#pragma once

#include <string>

// The extension of parameter files, without its dot.
inline constexpr const char* IgnExtension = "ign";

// A typed name gets the default extension only when it names nothing that exists and its
// last part has no dot: "tune" that exists is opened or replaced as it is.
bool NeedsDefaultExtension(const std::string& path);
