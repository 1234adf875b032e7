// Where the program keeps its settings, state file, port links and the test marker.
#pragma once

#include <string>

// $VANTEL_HOME when set and not empty, else $XDG_CONFIG_HOME/vantel, else
// $HOME/.config/vantel. Only names the directory; it is created when first written.
std::string SettingsDirectory();

// The program's own extra settings file beside vantel.ini: the options of the curve
// window, the restore points and the other tools, so vantel.ini keeps exactly its keys.
std::string ExtraSettingsPath();

// Where the program keeps data for the user (restore points): $XDG_DATA_HOME/vantel when
// XDG_DATA_HOME is set and not empty, else $HOME/.local/share/vantel. Only names it.
std::string DataDirectory();
