// Replacing a user's file so that a crash, a full disk or a missing permission never
// leaves it half written: the new text goes to a temporary file beside it, reaches the
// disk, and only then takes the old file's name.
#pragma once

#include <string>
#include <string_view>

// Creates the directory (and its parents) when missing. On failure returns false with a
// text naming the file and the system's reason; the old file is then untouched.
bool WriteFileSafely(const std::string& path, std::string_view content, std::string& error);
