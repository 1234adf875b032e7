#include "ui/BuildStamp.h"

std::string BuildDateText(const char* compilerDate) {
  std::string text;
  if (compilerDate == nullptr) return text;
  bool pendingBlank = false;
  for (const char* p = compilerDate; *p != '\0'; ++p) {
    if (*p == ' ') {
      pendingBlank = !text.empty();
      continue;
    }
    if (pendingBlank) text += ' ';
    pendingBlank = false;
    text += *p;
  }
  return text;
}
