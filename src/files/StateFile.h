// The state file: the whole device image as 100 numbers of text, so the parameters on
// the screen at closing and the identity block last read are back at the next start.
#pragma once

#include <string>
#include <string_view>

#include "i18n/Failure.h"
#include "model/IgnParams.h"

// Ten lines of ten "%5u " fields, each line ended by CR LF.
std::string StateFileText(const TDeviceImage& image);
// The text written through a temporary file (its folder created when missing), so a failure
// leaves the old file and returns false with the report.
bool WriteStateFile(const std::string& path, const TDeviceImage& image, TFailureReport& failure);

// Takes up to 100 numbers into the image bytes in order, each reduced to its low 8 bits.
// Reading ends at the end of the text, after the hundredth number, or at a word that is
// no number; bytes without a number keep their values.
void ReadStateText(std::string_view text, TDeviceImage& image);
// The same from the file; a file that is missing or cannot be read (a folder, a pipe, no
// permission) changes nothing.
void ReadStateFile(const std::string& path, TDeviceImage& image);
