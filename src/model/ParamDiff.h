// The field-by-field difference of two parameter records: each field named by the key of
// the caption it has on the screen and read in the user's units, so that a failed verify
// or a file compared with the screen reads by name instead of by byte.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "model/IgnParams.h"

// How the screen reads a field's byte.
enum class TFieldUnit : std::uint8_t {
  Plain,      // as stored: degrees, counts, pulses
  Speed,      // rpm
  Clutch,     // ms
  Correction, // percent
  Keying,     // an item of the keying-type list
  Ignitions,  // an item of the ignitions-per-revolution list
  Code,       // an item of a list whose index is the stored code
  Flag,       // a tick box
  Byte,       // a byte the program does not interpret
};

struct TParamField {
  int Offset; // byte of the record
  TFieldUnit Unit;
  const char* CaptionKey; // the control whose caption names the field
  const char* GroupKey;   // a group whose caption goes before it, or nullptr
  int Point;              // curve point 1..15, or 0
  const char* ItemsKey;   // Keying, Ignitions, Code: the list whose items the values name
  int ItemCount;          // Code: items in that list
};

// What one field's byte reads as on the screen.
struct TFieldValue {
  enum TKind : std::uint8_t {
    Number, // Value in the user's units
    Item,   // Value is the item index in the field's list
    Flag,   // Value 0 no, 1 yes
    Raw,    // Value is the byte as stored: uninterpreted, or a code no item stands for
  } Kind;
  int Value;
  bool operator==(const TFieldValue&) const = default;
};

struct TParamDifference {
  const TParamField* Field;
  TFieldValue Left, Right;
};

// Every byte of the record once, in the record's order.
std::span<const TParamField> ParamFields();

TFieldValue ReadField(const TParamField& field, const TIgnParams& p);

// The fields whose bytes differ, in the record's order; empty when the records are equal.
std::vector<TParamDifference> DiffParams(const TIgnParams& left, const TIgnParams& right);
