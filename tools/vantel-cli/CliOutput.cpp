#include "CliOutput.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "link/MonitorCsv.h"

namespace {

// The columns of a CSV line without its line end.
std::vector<std::string> CsvFields(const char* line) {
  std::vector<std::string> fields(1);
  for (const char* c = line; *c != '\0' && *c != '\r' && *c != '\n'; ++c) {
    if (*c == ',')
      fields.emplace_back();
    else
      fields.back() += *c;
  }
  return fields;
}

// The value columns the table shows one each; every flag column after them is listed by
// name when it is set.
constexpr std::size_t TableValueColumns = 8;

const std::vector<std::string>& CsvNames() {
  static const std::vector<std::string> names = CsvFields(MonitorCsvHeader());
  return names;
}

// Room for the column's name or its longest value (the time of day, hh:mm:ss.mmm).
int TableWidth(std::size_t column) {
  return column == 0 ? 14 : std::max(static_cast<int>(CsvNames()[column].size()) + 2, 8);
}

void AppendCell(std::string& out, const std::string& text, std::size_t column) {
  out += text;
  out.append(
      static_cast<std::size_t>(std::max(TableWidth(column) - static_cast<int>(text.size()), 1)),
      ' ');
}

} // namespace

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

std::string JsonString(const std::string& utf8) {
  std::string out = "\"";
  for (const char c : utf8) {
    const auto b = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (b < 0x20) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", b);
      out += escape;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

namespace {

// The unit's bytes for a terminal: a control character (C0, DEL or C1) could move the
// cursor or change the terminal's state, so it shows as '?'.
std::string Printable(const std::string& text) {
  std::string out = text;
  for (char& c : out) {
    const auto b = static_cast<unsigned char>(c);
    if (b < 0x20 || (b >= 0x7F && b < 0xA0)) c = '?';
  }
  return Latin1ToUtf8(out);
}

} // namespace

std::string IdentityText(const TUnitIdentity& id, unsigned layoutVersion) {
  return "Unit program:   " + Printable(id.UnitVersionText) + "\n" +
         "Program date:   " + Printable(id.UnitDateText) + "\n" +
         "Program time:   " + Printable(id.UnitTimeText) + "\n" +
         "Layout version: " + std::to_string(layoutVersion) + "\n";
}

std::string IdentityJson(const TUnitIdentity& id, unsigned layoutVersion) {
  return "{\"UnitVersionText\":" + JsonString(Latin1ToUtf8(id.UnitVersionText)) +
         ",\"UnitDateText\":" + JsonString(Latin1ToUtf8(id.UnitDateText)) +
         ",\"UnitTimeText\":" + JsonString(Latin1ToUtf8(id.UnitTimeText)) +
         ",\"LayoutVersion\":" + std::to_string(layoutVersion) + "}";
}

std::string ParamsJson(const TIgnParams& p) {
  const std::pair<const char*, std::uint8_t> fields[] = {
      {"Bike", p.Bike},
      {"PocetBodu", p.PocetBodu},
      {"BaseAdv", p.BaseAdv},
      {"Omez1", p.Omez1},
      {"Omez2", p.Omez2},
      {"Retard", p.Retard},
      {"Polarita", p.Polarita},
      {"GeberNr", p.GeberNr},
      {"LedRazeni", p.LedRazeni},
      {"Clutch1", p.Clutch1},
      {"Clutch2", p.Clutch2},
      {"Input1", p.Input1},
      {"Input2", p.Input2},
      {"RpmPulsu", p.RpmPulsu},
      {"RpmKorekce", p.RpmKorekce},
      {"RevOutLedRazeni", p.RevOutLedRazeni},
  };
  std::string out = "{";
  for (const auto& [name, value] : fields)
    out += std::string("\"") + name + "\":" + std::to_string(value) + ",";
  const std::pair<const char*, const std::uint8_t*> curves[] = {{"RpmAdv", p.RpmAdv},
                                                                {"Advance", p.Advance}};
  for (const auto& [name, values] : curves) {
    out += std::string("\"") + name + "\":[";
    for (int i = 0; i < CurvePoints; ++i) {
      if (i > 0) out += ',';
      out += std::to_string(values[i]);
    }
    out += name == std::string("RpmAdv") ? "]," : "]";
  }
  return out + "}";
}

std::string MonitorTableHeader() {
  std::string out;
  for (std::size_t i = 0; i < TableValueColumns; ++i) AppendCell(out, CsvNames()[i], i);
  return out + "active\n";
}

std::string MonitorTableLine(const char* csvRow) {
  const std::vector<std::string>& names = CsvNames();
  const std::vector<std::string> fields = CsvFields(csvRow);
  if (fields.size() != names.size() || fields[0].size() < 23) return {};
  std::string out;
  AppendCell(out, fields[0].substr(11, 12), 0); // the time of day of the full time stamp
  for (std::size_t i = 1; i < TableValueColumns; ++i) AppendCell(out, fields[i], i);
  std::string active;
  for (std::size_t i = TableValueColumns; i < fields.size(); ++i)
    if (fields[i] == "1") {
      if (!active.empty()) active += ' ';
      active += names[i];
    }
  return out + (active.empty() ? "-" : active) + "\n";
}

std::string MonitorJsonLine(const char* csvRow) {
  const std::vector<std::string>& names = CsvNames();
  const std::vector<std::string> fields = CsvFields(csvRow);
  if (fields.size() != names.size()) return {};
  std::string out = "{";
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) out += ',';
    out += JsonString(names[i]);
    out += ':';
    out += i == 0 ? JsonString(fields[i]) : fields[i];
  }
  return out + "}\n";
}
