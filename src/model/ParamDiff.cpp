#include "model/ParamDiff.h"

#include <array>
#include <cstddef>

#include "model/Conversions.h"
#include "model/Keying.h"

namespace {

constexpr TParamField Field(std::size_t offset, TFieldUnit unit, const char* caption,
                            const char* group = nullptr, const char* items = nullptr,
                            int itemCount = 0) {
  return {static_cast<int>(offset), unit, caption, group, 0, items, itemCount};
}

constexpr TParamField Byte(int offset) {
  return {offset, TFieldUnit::Byte, "RecordByte", nullptr, 0, nullptr, 0};
}

using F = TFieldUnit;

constexpr std::array<TParamField, BlockSize> BuildFields() {
  std::array<TParamField, BlockSize> f{};
  int n = 0;
  f[n++] = Field(offsetof(TIgnParams, Bike), F::Keying, "ComboBoxBike", nullptr, "ComboBoxBike");
  f[n++] = Field(offsetof(TIgnParams, PocetBodu), F::Plain, "LabelPocetBodu");
  f[n++] = Field(offsetof(TIgnParams, BaseAdv), F::Plain, "LabelBaseAdv");
  f[n++] = Field(offsetof(TIgnParams, Omez1), F::Speed, "LabelOmez1");
  f[n++] = Field(offsetof(TIgnParams, Omez2), F::Speed, "LabelOmez2");
  f[n++] = Field(offsetof(TIgnParams, Retard), F::Plain, "LabelRetard");
  f[n++] = Field(offsetof(TIgnParams, Polarita), F::Code, "RadioGroupPolarita", nullptr,
                 "RadioGroupPolarita", PolarityItemCount);
  f[n++] = Byte(7);
  f[n++] = Byte(8);
  f[n++] = Field(offsetof(TIgnParams, GeberNr), F::Ignitions, "ComboBoxPocPalcu", nullptr,
                 "ComboBoxPocPalcu");
  f[n++] = Field(offsetof(TIgnParams, LedRazeni), F::Speed, "LabelLedRazeni");
  f[n++] = Field(offsetof(TIgnParams, Clutch1), F::Clutch, "LabelClutch1");
  f[n++] = Field(offsetof(TIgnParams, Clutch2), F::Clutch, "LabelClutch2");
  f[n++] = Field(offsetof(TIgnParams, Input1), F::Code, "RadioGroupInput1", nullptr,
                 "RadioGroupInput1", InputItemCount);
  f[n++] = Field(offsetof(TIgnParams, Input2), F::Code, "RadioGroupInput2", nullptr,
                 "RadioGroupInput2", InputItemCount);
  f[n++] = Byte(15);
  f[n++] = Field(offsetof(TIgnParams, RpmPulsu), F::Plain, "LabelRpmPulsu", "GroupBoxRpm");
  f[n++] = Field(offsetof(TIgnParams, RpmKorekce), F::Correction, "LabelRpmKorekce", "GroupBoxRpm");
  f[n++] = Field(offsetof(TIgnParams, RevOutLedRazeni), F::Flag, "CheckBoxRevOutLedRazeni");
  f[n++] = Byte(19);
  for (int i = 0; i < CurvePoints; ++i) {
    f[n] = Field(offsetof(TIgnParams, RpmAdv) + i, F::Speed, "LabelRpm1");
    f[n++].Point = i + 1;
  }
  for (int i = 0; i < CurvePoints; ++i) {
    f[n] = Field(offsetof(TIgnParams, Advance) + i, F::Plain, "LabelAdvance1");
    f[n++].Point = i + 1;
  }
  return f;
}

constexpr std::array<TParamField, BlockSize> Fields = BuildFields();

// The table covers each byte once, in order.
constexpr bool CoversTheRecord() {
  for (int i = 0; i < BlockSize; ++i)
    if (Fields[i].Offset != i) return false;
  return true;
}
static_assert(CoversTheRecord());

} // namespace

std::span<const TParamField> ParamFields() {
  return Fields;
}

TFieldValue ReadField(const TParamField& field, const TIgnParams& p) {
  const std::uint8_t b = reinterpret_cast<const std::uint8_t*>(&p)[field.Offset];
  switch (field.Unit) {
  case F::Plain:
    return {TFieldValue::Number, b};
  case F::Speed:
    return {TFieldValue::Number, SpeedToScreen(b)};
  case F::Clutch:
    return {TFieldValue::Number, ClutchToScreen(b)};
  case F::Correction:
    return {TFieldValue::Number, CorrectionToScreen(b)};
  case F::Keying: {
    std::uint8_t index = 0;
    if (BikeCodeToIndex(b, index)) return {TFieldValue::Item, index};
    return {TFieldValue::Raw, b};
  }
  case F::Ignitions:
    if (b < GeberNrItemCount) return {TFieldValue::Item, GeberNrToIndex(b)};
    return {TFieldValue::Raw, b};
  case F::Code:
    // A code beyond the list is shown as it is, not as the item the screen would fall back to.
    if (b < field.ItemCount) return {TFieldValue::Item, b};
    return {TFieldValue::Raw, b};
  case F::Flag:
    if (b <= 1) return {TFieldValue::Flag, b};
    return {TFieldValue::Raw, b};
  case F::Byte:
    break;
  }
  return {TFieldValue::Raw, b};
}

std::vector<TParamDifference> DiffParams(const TIgnParams& left, const TIgnParams& right) {
  const auto* l = reinterpret_cast<const std::uint8_t*>(&left);
  const auto* r = reinterpret_cast<const std::uint8_t*>(&right);
  std::vector<TParamDifference> found;
  for (const TParamField& field : Fields)
    if (l[field.Offset] != r[field.Offset])
      found.push_back({&field, ReadField(field, left), ReadField(field, right)});
  return found;
}
