// Reading a file the program did not write itself: a folder, a named pipe, a device, a
// file without read permission or one that vanishes on the way is a failure to report,
// never a hang, an exception or an endless read.
#pragma once

#include <cstddef>
#include <string>

#include "i18n/Failure.h"

// More than any settings, state, marker or parameter file ever holds.
inline constexpr std::size_t ReadLimitBytes = 1024 * 1024;

// Reads the whole of a regular file of at most maxBytes into content. On failure returns
// false with content empty and failure naming the path, what failed and the reason.
bool ReadFileSafely(const std::string& path, std::string& content, TFailureReport& failure,
                    std::size_t maxBytes = ReadLimitBytes);

// Opens a regular file of at most maxBytes for reading without waiting on it; returns the
// descriptor, or -1 with failure set. The caller closes it.
int OpenFileSafely(const std::string& path, TFailureReport& failure, std::size_t maxBytes);
