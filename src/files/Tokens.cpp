#include "files/Tokens.h"

bool TTokenReader::Next(std::string_view& token) {
  while (At < Text.size() && IsTextSpace(Text[At])) ++At;
  if (At == Text.size()) return false;
  const std::size_t start = At;
  while (At < Text.size() && !IsTextSpace(Text[At])) ++At;
  token = Text.substr(start, At - start);
  return true;
}
