#include "files/IgnFile.h"

#include <cstdint>
#include <cstdio>
#include <cstddef>
#include <istream>
#include <ostream>
#include <string_view>

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

bool IsSpace(int c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

// Whole-token reader over the stream's buffer.
class TTokenReader {
public:
  explicit TTokenReader(std::streambuf* sb) : Buf(sb) {}

  // Next token into Text; false at the end of the input.
  bool Next() {
    int c = Get();
    while (c != EOF && IsSpace(c)) c = Get();
    if (c == EOF) return false;
    Length = 0;
    Overlong = false;
    while (c != EOF && !IsSpace(c)) {
      if (Length < IgnTokenMax) {
        Text[Length++] = static_cast<char>(c);
      } else {
        Overlong = true;
      }
      c = Get();
    }
    return true;
  }

  // The current token compared as a whole word; an overlong token equals nothing.
  bool Is(std::string_view word) const { return !Overlong && Token() == word; }
  std::string_view Token() const { return {Text, static_cast<std::size_t>(Length)}; }

  // The current token as a number, modulo 2^32; `exact` is false when it did not fit.
  bool AsNumber(bool allowSign, std::uint32_t& value, bool& exact) const {
    if (Overlong || Length == 0) return false;
    int i = 0;
    bool negative = false;
    if (allowSign && (Text[0] == '-' || Text[0] == '+')) {
      negative = Text[0] == '-';
      i = 1;
    }
    if (i == Length) return false;
    std::uint32_t v = 0;
    exact = true;
    for (; i < Length; ++i) {
      const char c = Text[i];
      if (c < '0' || c > '9') return false;
      const std::uint32_t next = v * 10u + static_cast<std::uint32_t>(c - '0');
      if (v > 429496729u || next < v * 10u) exact = false;
      v = next;
    }
    value = negative ? 0u - v : v;
    return true;
  }

private:
  int Get() {
    const auto c = Buf->sbumpc();
    return c == std::char_traits<char>::eof() ? EOF : static_cast<unsigned char>(c);
  }

  std::streambuf* Buf;
  char Text[IgnTokenMax];
  int Length = 0;
  bool Overlong = false;
};

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

const TGroup* FindGroup(const TTokenReader& t) {
  for (const auto& g : Groups) {
    if (t.Is(g.Key)) return &g;
  }
  return nullptr;
}

} // namespace

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

bool ReadIgnFile(std::istream& in, TIgnParams& p) {
  std::streambuf* sb = in.rdbuf();
  if (sb == nullptr) return false;
  TTokenReader t(sb);
  std::uint32_t number = 0;
  bool exact = false;

  // Key search. After a magic key, a token that is not a number is itself examined.
  bool haveToken = t.Next();
  bool found = false;
  while (haveToken && !found) {
    if (!t.Is(IgnMagicKey)) {
      haveToken = t.Next();
      continue;
    }
    haveToken = t.Next();
    if (haveToken && t.AsNumber(false, number, exact)) {
      found = exact && number == ProgramVersion;
      haveToken = t.Next();
    }
  }
  if (!found) return false;

  // Keys. Fields are gathered in a copy so the caller's record changes in one step.
  TIgnParams work = p;
  auto* bytes = reinterpret_cast<std::uint8_t*>(&work);
  while (haveToken) {
    const TGroup* g = FindGroup(t);
    haveToken = t.Next();
    if (g == nullptr) continue;
    for (int i = 0; i < g->Count && haveToken; ++i) {
      const TField& f = g->Fields[i];
      if (!t.AsNumber(f.Signed, number, exact)) break; // this token is the next key candidate
      bytes[f.Offset] = FieldValue(f, number);
      haveToken = t.Next();
    }
  }
  p = work;
  return true;
}
