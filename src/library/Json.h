// The little JSON an exported bike needs: written by the export, read back by the import
// from a folder that may come from anywhere, so the reader bounds its depth and never throws.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

struct TJson {
  enum class TKind : std::uint8_t { Null, Bool, Number, String, Array, Object };
  TKind Kind = TKind::Null;
  bool Bool = false;
  double Number = 0;
  std::string String;
  std::vector<TJson> Array;
  std::map<std::string, TJson> Object;

  // A member of an object; a null value for anything else or a missing name.
  const TJson& operator[](const std::string& name) const;
  // The text of a string member, or fallback.
  std::string Text(const std::string& name, const std::string& fallback = {}) const;
};

// The whole text as one value; nullopt for anything that is not exactly one JSON value.
std::optional<TJson> ParseJson(const std::string& text);

// A string as a JSON literal, quotes included; control characters escaped.
std::string JsonQuote(const std::string& utf8);
