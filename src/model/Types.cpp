#include "model/Types.h"

TLanguage CurrentLanguage = LangEnglish;
