#include "model/Instance.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>

namespace {

// Marks the start and the version of the request, so a stray writer is told apart.
const std::string RequestHead = "VANTEL-OPEN/1\n";

bool IsLanguageWord(const std::string& word) {
  return word == "ENGLISH" || word == "DEUTSCH" || word == "FRANCE" || word == "CESKY";
}

bool EndsWithIgn(const std::string& name) {
  if (name.size() < 4) return false;
  std::string end = name.substr(name.size() - 4);
  std::transform(end.begin(), end.end(), end.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return end == ".ign";
}

} // namespace

std::string InstanceName(const std::string& canonicalSettingsDir) {
  std::uint64_t hash = 14695981039346656037ull; // FNV-1a
  for (const unsigned char c : canonicalSettingsDir) {
    hash ^= c;
    hash *= 1099511628211ull;
  }
  char text[24];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
  return "vantel-" + std::string(text);
}

std::string EncodeInstanceRequest(const std::string& path) {
  // The path ends at a NUL byte, which no path holds; a line feed may be part of a name.
  return RequestHead + path + '\0';
}

std::optional<std::string> DecodeInstanceRequest(const std::string& request) {
  if (request.size() > MaxInstanceRequest || request.size() < RequestHead.size() + 1 ||
      request.compare(0, RequestHead.size(), RequestHead) != 0 || request.back() != '\0')
    return std::nullopt;
  std::string path = request.substr(RequestHead.size(), request.size() - RequestHead.size() - 1);
  if (path.find('\0') != std::string::npos) return std::nullopt;
  return path;
}

std::optional<std::string> FileArgument(const std::vector<std::string>& arguments,
                                        const std::function<bool(const std::string&)>& exists) {
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& a = arguments[i];
    if (a.empty() || a[0] == '-' || (i == 0 && IsLanguageWord(a))) continue;
    if (EndsWithIgn(a) || exists(a)) return a;
  }
  return std::nullopt;
}
