#pragma once

#include <string>

#include "model/Types.h"

// The first command-line argument names a language when it equals "ENGLISH", "DEUTSCH",
// "FRANCE" or "CESKY" exactly; then language is set and true returned. Anything else
// leaves language as it was.
bool LanguageFromArgument(const std::string& argument, TLanguage& language);
