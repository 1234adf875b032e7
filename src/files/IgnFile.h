// The .ign parameter file: a magic key with the layout version, then one line per
// parameter group, a key word and its numbers.
#pragma once

#include <iosfwd>
#include <string>
#include <string_view>

#include "model/IgnParams.h"

inline constexpr const char* IgnMagicKey = "ZANDERIX_KEY";
// Longest token the reader takes as a key or a number; a longer one is neither and is skipped
// whole.
inline constexpr int IgnTokenMax = 261;

// Writes the record byte-exactly: CR LF line ends written by this function itself, so
// the caller opens `out` in binary mode; no line end after the last field. Values are
// written as they stand, not tested or clamped. Returns false when the stream failed
// (for example a full disk); the stream is neither flushed nor closed here.
bool WriteIgnFile(std::ostream& out, const TIgnParams& p);
// The whole file of a record as WriteIgnFile writes it: what Save puts on disk.
std::string IgnFileText(const TIgnParams& p);

// Reads a file written by WriteIgnFile or by hand. Returns false, leaving `p`
// untouched, when no "ZANDERIX_KEY" followed by 67 is found. Otherwise every group
// found overwrites its fields (the last occurrence wins), groups not found keep theirs,
// and unknown tokens are skipped. Each field keeps the low 8 bits of its value; the
// speed and clutch divisions work on the low 16 bits of the number.
//
// Numbers: an unsigned number is a token of decimal digits only; the signed tachometer
// correction may carry one leading '-' or '+'. Up to IgnTokenMax characters are taken,
// modulo 2^32 (so the low bits are exact); the version after the magic key must be exactly 67.
// A token that is not a number where a number is expected ends that group (the numbers
// before it are stored, the rest of the group keeps its fields) and is taken as the
// next key word. Either line end, tabs and any run of white space read the same.
bool ReadIgnFile(std::string_view text, TIgnParams& p);
