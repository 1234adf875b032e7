// Where the program keeps its settings, state file, port links and the test marker.
#pragma once

#include <string>

// $VANTEL_HOME when set and not empty, else $XDG_CONFIG_HOME/vantel, else
// $HOME/.config/vantel. Only names the directory; it is created when first written.
std::string SettingsDirectory();
