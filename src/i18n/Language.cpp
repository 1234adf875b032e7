#include "i18n/Language.h"

bool LanguageFromArgument(const std::string& argument, TLanguage& language) {
  static const char* const Words[] = {"ENGLISH", "DEUTSCH", "FRANCE", "CESKY"};
  for (TLanguage n = 0; n < 4; ++n) {
    if (argument == Words[n]) {
      language = n;
      return true;
    }
  }
  return false;
}
