#include "FuzzCheck.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "files/IgnFile.h"
#include "model/Identity.h"
#include "model/Normalise.h"

namespace {

constexpr std::uint8_t GuardByte = 0x5A;
constexpr std::size_t GuardSize = 64;

// The record between two guard regions: a write outside the record shows up there.
struct TGuarded {
  std::uint8_t Before[GuardSize];
  TIgnParams Params;
  std::uint8_t After[GuardSize];
};

void Fail(const char* what) {
  std::fprintf(stderr, "fuzz check failed: %s\n", what);
  std::abort();
}

bool GuardsIntact(const TGuarded& g) {
  for (std::size_t i = 0; i < GuardSize; ++i) {
    if (g.Before[i] != GuardByte || g.After[i] != GuardByte) return false;
  }
  return true;
}

bool IsDigitOrDash(char c) {
  return (c >= '0' && c <= '9') || c == '-';
}

void CheckRead(const std::uint8_t* data, std::size_t size) {
  TGuarded g;
  std::memset(&g, GuardByte, sizeof g);
  auto* bytes = reinterpret_cast<std::uint8_t*>(&g.Params);
  for (std::size_t i = 0; i < sizeof g.Params; ++i) bytes[i] = static_cast<std::uint8_t>(i * 7);
  const TIgnParams before = g.Params;

  const bool ok = ReadIgnFile({reinterpret_cast<const char*>(data), size}, g.Params);
  if (!GuardsIntact(g)) Fail("write outside the record");
  if (!ok && std::memcmp(&g.Params, &before, sizeof before) != 0) Fail("rejected file changed it");
  for (const std::size_t uncarried : {7u, 8u, 15u, 19u}) {
    if (bytes[uncarried] != reinterpret_cast<const std::uint8_t*>(&before)[uncarried]) {
      Fail("uncarried byte changed");
    }
  }

  // Whatever the file held, normalisation brings the record into order.
  TLanguage language = static_cast<TLanguage>(size);
  std::uint8_t port = static_cast<std::uint8_t>(size >> 8);
  NormaliseParams(g.Params, language, port);
  if (!GuardsIntact(g)) Fail("normalisation wrote outside the record");
  const TIgnParams& p = g.Params;
  for (int i = 0; i < CurvePoints; ++i) {
    if (p.RpmAdv[i] < CurveSpeedMin(i) || p.RpmAdv[i] > CurveSpeedMax(i)) Fail("curve bound");
    if (i > 0 && p.RpmAdv[i] <= p.RpmAdv[i - 1]) Fail("curve not rising");
    if (p.Bike == 7 && p.Advance[i] > p.BaseAdv) Fail("2T SEM cap");
  }
  if (p.Omez1 > p.Omez2) Fail("start limiter above limiter");
  if (language > LangCzech || port > MaxComPort) Fail("language or port");
}

void CheckIdentity(const std::uint8_t* data, std::size_t size) {
  TDeviceImage image;
  for (int i = 0; i < ImageSize; ++i) {
    image.Bytes()[i] = size == 0 ? 0 : data[static_cast<std::size_t>(i) % size];
  }
  TUnitIdentity id;
  DecodeUnitIdentity(image, id);
  if (id.UnitVersionText.size() > static_cast<std::size_t>(UnitTextMax)) Fail("version text");
  if (id.UnitVersionText.find('\0') != std::string::npos) Fail("zero in version text");
  const std::string& d = id.UnitDateText;
  if (d.size() != 10 || d[2] != '.' || d[5] != '.' || d.compare(6, 2, "20") != 0) Fail("date");
  if (!(d[0] == ' ' || IsDigitOrDash(d[0])) || !IsDigitOrDash(d[1])) Fail("day");
  if (!(d[3] == ' ' || d[3] == '0' || d[3] == '1') || d[4] < '0' || d[4] > '9') Fail("month");
  if (!IsDigitOrDash(d[8]) || !IsDigitOrDash(d[9])) Fail("year");
  const std::string& t = id.UnitTimeText;
  if (t.size() != 5 || t[2] != ':') Fail("time");
  for (int i : {0, 1, 3, 4}) {
    if (!IsDigitOrDash(t[i])) Fail("time digit");
  }
}

} // namespace

void CheckOneInput(const std::uint8_t* data, std::size_t size) {
  CheckRead(data, size);
  CheckIdentity(data, size);
}
