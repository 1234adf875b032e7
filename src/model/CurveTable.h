// The curve as a table of text: one line per point, the speed in rpm and the advance in
// degrees. Written for a spreadsheet or a CSV file; read back from what a spreadsheet, a
// CSV file or a person gives: tab, semicolon, comma or blanks between the two numbers, a
// decimal comma or point, thousand separators, an optional header line.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "model/CurveTools.h"

enum class TCurveTableError : std::uint8_t {
  None,
  Empty,         // no curve point at all
  NotANumber,    // a value that is no number
  OneValue,      // a line with one number
  TooManyValues, // a line with more than two numbers
  TooManyPoints, // a 16th point
};

struct TCurveTable {
  TCurveTablePoint Points[CurvePoints];
  int Count = 0;
  TCurveTableError Error = TCurveTableError::None;
  int Line = 0; // the first bad line, counted from 1 over every line of the text
};

// Reads the text up to its first fault. Speeds round to whole rpm and advances to whole
// degrees; values beyond any range are kept for the curve's own limits to hold.
TCurveTable ParseCurveTable(std::string_view text);

// The points in use, one line each: speed, separator, advance, line end; with a header line
// when header is not empty.
std::string CurveTableText(const TIgnParams& p, char separator, std::string_view lineEnd,
                           std::string_view header = {});
