// `vantel [LANGUAGE] --tune-sheet FILE.ign -o OUT.pdf`: the tune sheet of a parameter file as
// a PDF, without a window.
#pragma once

#include <optional>

// When the arguments ask for a tune sheet: writes it and gives the exit status (0 written,
// 4 a file could not be read or written, 64 wrong usage), with one message on standard
// error for a failure. Otherwise nothing, and the window starts.
std::optional<int> RunTuneSheetCommand(int argc, char** argv);
