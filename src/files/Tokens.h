// The words of a text file as the program reads every one of them (the .ign file, the state
// file, the test marker): separated by any run of white space, either line end included, and
// compared whole.
#pragma once

#include <cstddef>
#include <string_view>

constexpr bool IsTextSpace(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

// The white-space-delimited words of a text, one after another, as views into it.
class TTokenReader {
public:
  explicit TTokenReader(std::string_view text) : Text(text) {}
  // The next word into token; false at the end of the text.
  bool Next(std::string_view& token);

private:
  std::string_view Text;
  std::size_t At = 0;
};
