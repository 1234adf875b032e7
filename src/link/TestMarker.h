// The marker file that unlocks the hidden test display on a workstation.
#pragma once

#include <string>

// True when the file holds the white-space-delimited word "DIAG_UNLOCK" (exact, case-
// sensitive); false when it does not or cannot be read.
bool ReadTestMarker(const std::string& path);
// The marker file of this workstation, in the settings directory.
std::string TestMarkerPath();
