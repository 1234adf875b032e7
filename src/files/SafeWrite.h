// Replacing a user's file so that a crash, a full disk or a missing permission never
// leaves it half written: the new text goes to a temporary file beside it, reaches the
// disk, and only then takes the old file's name. One rule for every file the program
// writes: a file that cannot be opened for writing (one the user made read-only) is left
// as it is, a new file gets 0666 less the umask, a replaced file keeps its permissions.
#pragma once

#include <string>
#include <string_view>

#include "i18n/Failure.h"

enum class TFolder : bool { MustExist, Create };

// On failure returns false with failure naming the file, what failed and the reason;
// the old file is then untouched. Through a symbolic link the link's target is written.
bool WriteFileSafely(const std::string& path, std::string_view content, TFailureReport& failure,
                     TFolder folder = TFolder::MustExist);

// Whether WriteFileSafely would get as far as writing: the same checks and a temporary
// file made and removed again, but nothing replaced.
bool CheckReplaceable(const std::string& path, TFailureReport& failure);
