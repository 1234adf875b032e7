// The build date and time as the about window shows them.
#pragma once

#include <string>

// The compiler's __DATE__ ("Jun 14 2007", single-digit days padded: "Jun  4 2007") as
// month, day and year with single blanks: "Jun 14 2007", "Jun 4 2007". nullptr gives "".
std::string BuildDateText(const char* compilerDate);
