// The message texts of the four languages, one row per catalogue key.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "i18n/Messages.h"

inline constexpr int LanguageCount = 4;

// How a row becomes its field: most rows are used as they stand; the two open-file
// rows hold the common base text and are composed when the catalogue is filled.
enum class TMsgCompose : std::uint8_t {
  AsIs,
  OpenFileError,   // base + "!"
  ManualOpenError, // base + " " + MsgManualFile + " !"
};

struct TMessageRow {
  std::string TMessageCatalogue::*Field;
  TMsgCompose Compose;
  const char* Text[LanguageCount]; // English, German, French, Czech (UTF-8)
};

// In the order of the catalogue's fields.
std::span<const TMessageRow> MessageRows();
