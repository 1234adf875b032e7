#include "ui/TuneSheet.h"

#include <cstddef>
#include <cstdio>

#include "i18n/CurveTexts.h"
#include "i18n/RestoreTexts.h"
#include "i18n/SheetTexts.h"
#include "model/Conversions.h"
#include "model/ParamDiff.h"

namespace {

// The parameters besides the curve, in the order a reader looks for them: the unit's wiring,
// the curve's frame, the speeds and the inputs with what they switch, then the outputs.
constexpr std::size_t SheetFields[] = {
    offsetof(TIgnParams, Bike),      offsetof(TIgnParams, GeberNr),
    offsetof(TIgnParams, Polarita),  offsetof(TIgnParams, PocetBodu),
    offsetof(TIgnParams, BaseAdv),   offsetof(TIgnParams, Omez1),
    offsetof(TIgnParams, Omez2),     offsetof(TIgnParams, Retard),
    offsetof(TIgnParams, Input1),    offsetof(TIgnParams, Input2),
    offsetof(TIgnParams, Clutch1),   offsetof(TIgnParams, Clutch2),
    offsetof(TIgnParams, RpmPulsu),  offsetof(TIgnParams, RpmKorekce),
    offsetof(TIgnParams, LedRazeni), offsetof(TIgnParams, RevOutLedRazeni),
};

std::string WithNumbers(std::string text, int first, int second = 0) {
  for (const int n : {first, second})
    if (const std::size_t at = text.find("%d"); at != std::string::npos)
      text.replace(at, 2, std::to_string(n));
  return text;
}

// The unit's texts are single bytes as it sent them, read as Latin-1.
std::string Latin1ToUtf8(const std::string& text) {
  std::string out;
  for (const char c : text) {
    const auto b = static_cast<unsigned char>(c);
    if (b < 0x80) {
      out += c;
    } else {
      out += static_cast<char>(0xC0 | (b >> 6));
      out += static_cast<char>(0x80 | (b & 0x3F));
    }
  }
  return out;
}

std::string Trimmed(const std::string& text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// "Limiter [rpm]" names the field and its unit: the caption and "rpm".
TSheetLine SplitUnit(const std::string& caption, const std::string& value) {
  const std::size_t open = caption.rfind('[');
  if (open == std::string::npos || caption.empty() || caption.back() != ']')
    return {caption, value, ""};
  return {Trimmed(caption.substr(0, open)), value,
          caption.substr(open + 1, caption.size() - open - 2)};
}

std::string UnitText(const TSheetSource& s, TLanguage language) {
  if (!s.UnitRead) return SheetText(TSheetText::NotReadFromUnit, language);
  std::string text;
  for (const std::string& part :
       {s.Identity.UnitVersionText, s.Identity.UnitDateText, s.Identity.UnitTimeText}) {
    const std::string t = Trimmed(Latin1ToUtf8(part));
    if (t.empty()) continue;
    if (!text.empty()) text += "  ";
    text += t;
  }
  if (!text.empty()) text += ", ";
  return text + WithNumbers(SheetText(TSheetText::LayoutVersion, language), s.LayoutVersion);
}

} // namespace

std::string SheetNumber(int value, TLanguage language) {
  static const char* const Separators[] = {",", ".", " ", " "};
  const char* separator = Separators[language < 4 ? language : 0];
  const std::string digits = std::to_string(value < 0 ? -static_cast<long>(value) : value);
  std::string out = value < 0 ? "-" : "";
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += separator;
    out += digits[i];
  }
  return out;
}

std::string SheetDateTime(const TSheetTime& t, TLanguage language) {
  char text[64];
  switch (language) {
  case LangGerman:
    std::snprintf(text, sizeof text, "%02d.%02d.%04d %02d:%02d", t.Day, t.Month, t.Year, t.Hour,
                  t.Minute);
    break;
  case LangFrench:
    std::snprintf(text, sizeof text, "%02d/%02d/%04d %02d:%02d", t.Day, t.Month, t.Year, t.Hour,
                  t.Minute);
    break;
  case LangCzech:
    std::snprintf(text, sizeof text, "%d. %d. %04d %02d:%02d", t.Day, t.Month, t.Year, t.Hour,
                  t.Minute);
    break;
  default:
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d", t.Year, t.Month, t.Day, t.Hour,
                  t.Minute);
    break;
  }
  return text;
}

TTuneSheet BuildTuneSheet(const TSheetSource& s, TLanguage language, const TMessageCatalogue& msg) {
  TTuneSheet sheet;
  sheet.Title = SheetText(TSheetText::Title, language);

  if (!s.Bike.Name.empty()) {
    sheet.Header.push_back({SheetText(TSheetText::Bike, language), s.Bike.Name, ""});
    if (!s.Bike.Customer.empty())
      sheet.Header.push_back({SheetText(TSheetText::Customer, language), s.Bike.Customer, ""});
  }
  sheet.Header.push_back({SheetText(TSheetText::Unit, language), UnitText(s, language), ""});
  sheet.Header.push_back({ScreenCaption("LabelFile1", language, msg),
                          s.FileName.empty() ? SheetText(TSheetText::NoFile, language) : s.FileName,
                          ""});
  // The Print command's own head of the date line, without its closing colon and blanks.
  std::string printed = Trimmed(msg.MsgPrintDateTime);
  if (!printed.empty() && printed.back() == ':') printed.pop_back();
  sheet.Header.push_back({Trimmed(printed), SheetDateTime(s.Printed, language), ""});

  sheet.CurveTitle = CurveText(TCurveText::WindowTitle, language);
  sheet.PointColumn = SheetText(TSheetText::PointColumn, language);
  sheet.RpmColumn = ScreenCaption("LabelRpm1", language, msg);
  sheet.AdvanceColumn = ScreenCaption("LabelAdvance1", language, msg);
  for (int i = 0; i < CurvePointsInUse(s.Params); ++i)
    sheet.Points.push_back({std::to_string(i + 1),
                            SheetNumber(SpeedToScreen(s.Params.RpmAdv[i]), language),
                            std::to_string(s.Params.Advance[i])});

  sheet.ParametersTitle = SheetText(TSheetText::Parameters, language);
  for (const std::size_t offset : SheetFields) {
    const TParamField& field = ParamFields()[offset];
    const TFieldText text = DescribeField(field, s.Params, language, msg);
    const TFieldValue value = ReadField(field, s.Params);
    sheet.Parameters.push_back(SplitUnit(text.Caption, value.Kind == TFieldValue::Number
                                                           ? SheetNumber(value.Value, language)
                                                           : text.Value));
  }

  if (!s.Bike.Notes.empty()) {
    sheet.NotesTitle = SheetText(TSheetText::Notes, language);
    sheet.Notes = s.Bike.Notes;
  }
  sheet.Footer = "VANTEL-9 Setup " + s.ProgramVersion;
  sheet.Page = WithNumbers(SheetText(TSheetText::Page, language), 1, 1);
  return sheet;
}
