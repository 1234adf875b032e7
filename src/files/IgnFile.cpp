#include "files/IgnFile.h"

#include <cstdint>
#include <cstdio>
#include <cstddef>
#include <ostream>
#include <sstream>
#include <string_view>

#include "files/Tokens.h"
#include "model/Types.h"

namespace {

// Field formats of the file; snprintf into a fixed buffer, so nothing allocates.
void PutUnsigned(std::ostream& out, unsigned value, int width) {
  char buf[24];
  const int n = std::snprintf(buf, sizeof buf, "%*u ", width, value);
  out.write(buf, n);
}

void PutSigned(std::ostream& out, int value) {
  char buf[24];
  const int n = std::snprintf(buf, sizeof buf, "%5d ", value);
  out.write(buf, n);
}

void PutText(std::ostream& out, std::string_view text) {
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
}

// A token as a number, modulo 2^32; `exact` is false when it did not fit. A token longer
// than IgnTokenMax is no number.
bool AsNumber(std::string_view token, bool allowSign, std::uint32_t& value, bool& exact) {
  if (token.empty() || token.size() > static_cast<std::size_t>(IgnTokenMax)) return false;
  std::size_t i = 0;
  bool negative = false;
  if (allowSign && (token[0] == '-' || token[0] == '+')) {
    negative = token[0] == '-';
    i = 1;
  }
  if (i == token.size()) return false;
  std::uint32_t v = 0;
  exact = true;
  for (; i < token.size(); ++i) {
    const char c = token[i];
    if (c < '0' || c > '9') return false;
    const std::uint32_t next = v * 10u + static_cast<std::uint32_t>(c - '0');
    if (v > 429496729u || next < v * 10u) exact = false;
    v = next;
  }
  value = negative ? 0u - v : v;
  return true;
}

enum class TNumberKind : std::uint8_t { Plain, Div10, Div100 };

struct TField {
  std::size_t Offset;
  TNumberKind Kind = TNumberKind::Plain;
  bool Signed = false;
};

struct TGroup {
  std::string_view Key;
  int Count;
  TField Fields[CurvePoints]{};
};

constexpr TGroup CurveGroup(std::string_view key, std::size_t first, TNumberKind kind) {
  TGroup g{key, CurvePoints, {}};
  for (int i = 0; i < CurvePoints; ++i) g.Fields[i] = {first + i, kind};
  return g;
}

// Every group of the file, with the record bytes its numbers go into.
constexpr TGroup Groups[] = {
    {"BIKE", 1, {{offsetof(TIgnParams, Bike)}}},
    CurveGroup("RPM_ADV", offsetof(TIgnParams, RpmAdv), TNumberKind::Div100),
    CurveGroup("ADVANCE", offsetof(TIgnParams, Advance), TNumberKind::Plain),
    {"POCET_BODU", 1, {{offsetof(TIgnParams, PocetBodu)}}},
    {"BASE_ADV", 1, {{offsetof(TIgnParams, BaseAdv)}}},
    {"LIMITER",
     3,
     {{offsetof(TIgnParams, Omez1)},
      {offsetof(TIgnParams, Omez2)},
      {offsetof(TIgnParams, Retard)}}},
    {"POLARITA", 1, {{offsetof(TIgnParams, Polarita)}}},
    {"GEBER_NR", 1, {{offsetof(TIgnParams, GeberNr)}}},
    {"PILOT_LIGHT", 1, {{offsetof(TIgnParams, LedRazeni), TNumberKind::Div100}}},
    {"REV_OUT_PILOT_LIGHT", 1, {{offsetof(TIgnParams, RevOutLedRazeni)}}},
    {"CLUTCH",
     2,
     {{offsetof(TIgnParams, Clutch1), TNumberKind::Div10},
      {offsetof(TIgnParams, Clutch2), TNumberKind::Div10}}},
    {"RPM",
     2,
     {{offsetof(TIgnParams, RpmPulsu)},
      {offsetof(TIgnParams, RpmKorekce), TNumberKind::Plain, true}}},
    {"INPUT", 2, {{offsetof(TIgnParams, Input1)}, {offsetof(TIgnParams, Input2)}}},
};

std::uint8_t FieldValue(const TField& f, std::uint32_t number) {
  switch (f.Kind) {
  case TNumberKind::Div10:
    return static_cast<std::uint8_t>((number & 0xFFFFu) / 10u);
  case TNumberKind::Div100:
    return static_cast<std::uint8_t>((number & 0xFFFFu) / 100u);
  case TNumberKind::Plain:
    break;
  }
  // The correction is stored as percent + 100; unsigned wrap keeps the low bits right.
  return static_cast<std::uint8_t>(f.Signed ? number + 100u : number);
}

// Key words are short: a token beyond IgnTokenMax equals none of them.
const TGroup* FindGroup(std::string_view token) {
  for (const auto& g : Groups) {
    if (token == g.Key) return &g;
  }
  return nullptr;
}

} // namespace

std::string IgnFileText(const TIgnParams& p) {
  std::ostringstream text(std::ios::out | std::ios::binary);
  WriteIgnFile(text, p);
  return text.str();
}

bool WriteIgnFile(std::ostream& out, const TIgnParams& p) {
  PutText(out, "ZANDERIX_KEY  ");
  PutUnsigned(out, ProgramVersion, 3);
  PutText(out, "\r\n");
  PutText(out, "\r\nBIKE        ");
  PutUnsigned(out, p.Bike, 5);
  PutText(out, "\r\nRPM_ADV     ");
  for (const auto v : p.RpmAdv) PutUnsigned(out, v * 100u, 5);
  PutText(out, "\r\nADVANCE     ");
  for (const auto v : p.Advance) PutUnsigned(out, v, 5);
  PutText(out, "\r\nPOCET_BODU  ");
  PutUnsigned(out, p.PocetBodu, 5);
  PutText(out, "\r\nBASE_ADV    ");
  PutUnsigned(out, p.BaseAdv, 5);
  PutText(out, "\r\nLIMITER     ");
  PutUnsigned(out, p.Omez1, 5);
  PutUnsigned(out, p.Omez2, 5);
  PutUnsigned(out, p.Retard, 5);
  PutText(out, "\r\nPOLARITA    ");
  PutUnsigned(out, p.Polarita, 5);
  PutText(out, "\r\nGEBER_NR    ");
  PutUnsigned(out, p.GeberNr, 5);
  PutText(out, "\r\nPILOT_LIGHT       ");
  PutUnsigned(out, p.LedRazeni * 100u, 5);
  PutText(out, "\r\nREV_OUT_PILOT_LIGHT");
  PutText(out, p.RevOutLedRazeni != 0 ? "   1" : "   0");
  PutText(out, "\r\nCLUTCH      ");
  PutUnsigned(out, p.Clutch1 * 10u, 5);
  PutUnsigned(out, p.Clutch2 * 10u, 5);
  PutText(out, "\r\nRPM         ");
  PutUnsigned(out, p.RpmPulsu, 5);
  PutSigned(out, p.RpmKorekce - 100);
  PutText(out, "\r\nINPUT       ");
  PutUnsigned(out, p.Input1, 5);
  PutSigned(out, p.Input2);
  return static_cast<bool>(out);
}

bool ReadIgnFile(std::string_view text, TIgnParams& p) {
  TTokenReader words(text);
  std::string_view t;
  std::uint32_t number = 0;
  bool exact = false;

  // Key search. After a magic key, a token that is not a number is itself examined.
  bool haveToken = words.Next(t);
  bool found = false;
  while (haveToken && !found) {
    if (t != IgnMagicKey) {
      haveToken = words.Next(t);
      continue;
    }
    haveToken = words.Next(t);
    if (haveToken && AsNumber(t, false, number, exact)) {
      found = exact && number == ProgramVersion;
      haveToken = words.Next(t);
    }
  }
  if (!found) return false;

  // Keys. Fields are gathered in a copy so the caller's record changes in one step.
  TIgnParams work = p;
  auto* bytes = reinterpret_cast<std::uint8_t*>(&work);
  while (haveToken) {
    const TGroup* g = FindGroup(t);
    haveToken = words.Next(t);
    if (g == nullptr) continue;
    for (int i = 0; i < g->Count && haveToken; ++i) {
      const TField& f = g->Fields[i];
      if (!AsNumber(t, f.Signed, number, exact)) break; // this token is the next key candidate
      bytes[f.Offset] = FieldValue(f, number);
      haveToken = words.Next(t);
    }
  }
  p = work;
  return true;
}
