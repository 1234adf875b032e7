#include "FuzzCheck.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>

#include "files/IgnFile.h"
#include "model/Identity.h"
#include "model/Normalise.h"

namespace {

bool IsDigitOrDash(char c) {
  return (c >= '0' && c <= '9') || c == '-';
}

std::string Written(const TIgnParams& p) {
  std::ostringstream out(std::ios::binary);
  if (!WriteIgnFile(out, p)) FuzzFail("write to memory failed");
  return out.str();
}

// What was read, written and read again into another record writes the same file.
void CheckRoundTrip(const TIgnParams& p) {
  const std::string text = Written(p);
  TIgnParams again;
  std::memset(&again, 0xA5, sizeof again);
  if (!ReadIgnFile(text, again)) FuzzFail("own file rejected");
  if (Written(again) != text) FuzzFail("round trip");
}

void CheckRead(const std::uint8_t* data, std::size_t size) {
  TGuarded<TIgnParams> g;
  auto* bytes = reinterpret_cast<std::uint8_t*>(&g.Value);
  for (std::size_t i = 0; i < sizeof g.Value; ++i) bytes[i] = static_cast<std::uint8_t>(i * 7);
  const TIgnParams before = g.Value;

  const bool ok = ReadIgnFile({reinterpret_cast<const char*>(data), size}, g.Value);
  if (!g.Intact()) FuzzFail("write outside the record");
  if (!ok && std::memcmp(&g.Value, &before, sizeof before) != 0)
    FuzzFail("rejected file changed it");
  if (ok) CheckRoundTrip(g.Value);
  for (const std::size_t uncarried : {7u, 8u, 15u, 19u}) {
    if (bytes[uncarried] != reinterpret_cast<const std::uint8_t*>(&before)[uncarried]) {
      FuzzFail("uncarried byte changed");
    }
  }

  // Whatever the file held, normalisation brings the record into order.
  TLanguage language = static_cast<TLanguage>(size);
  std::uint8_t port = static_cast<std::uint8_t>(size >> 8);
  NormaliseParams(g.Value, language, port);
  if (!g.Intact()) FuzzFail("normalisation wrote outside the record");
  const TIgnParams& p = g.Value;
  for (int i = 0; i < CurvePoints; ++i) {
    if (p.RpmAdv[i] < CurveSpeedMin(i) || p.RpmAdv[i] > CurveSpeedMax(i)) FuzzFail("curve bound");
    if (i > 0 && p.RpmAdv[i] <= p.RpmAdv[i - 1]) FuzzFail("curve not rising");
    if (p.Bike == 7 && p.Advance[i] > p.BaseAdv) FuzzFail("2T SEM cap");
  }
  if (p.Omez1 > p.Omez2) FuzzFail("start limiter above limiter");
  if (language > LangCzech || port > MaxComPort) FuzzFail("language or port");
}

void CheckIdentity(const std::uint8_t* data, std::size_t size) {
  TDeviceImage image;
  for (int i = 0; i < ImageSize; ++i) {
    image.Bytes()[i] = size == 0 ? 0 : data[static_cast<std::size_t>(i) % size];
  }
  TUnitIdentity id;
  DecodeUnitIdentity(image, id);
  if (id.UnitVersionText.size() > static_cast<std::size_t>(UnitTextMax)) FuzzFail("version text");
  if (id.UnitVersionText.find('\0') != std::string::npos) FuzzFail("zero in version text");
  const std::string& d = id.UnitDateText;
  if (d.size() != 10 || d[2] != '.' || d[5] != '.' || d.compare(6, 2, "20") != 0) FuzzFail("date");
  if (!(d[0] == ' ' || IsDigitOrDash(d[0])) || !IsDigitOrDash(d[1])) FuzzFail("day");
  if (!(d[3] == ' ' || d[3] == '0' || d[3] == '1') || d[4] < '0' || d[4] > '9') FuzzFail("month");
  if (!IsDigitOrDash(d[8]) || !IsDigitOrDash(d[9])) FuzzFail("year");
  const std::string& t = id.UnitTimeText;
  if (t.size() != 5 || t[2] != ':') FuzzFail("time");
  for (int i : {0, 1, 3, 4}) {
    if (!IsDigitOrDash(t[i])) FuzzFail("time digit");
  }
}

} // namespace

void FuzzFail(const char* what) {
  std::fprintf(stderr, "fuzz check failed: %s\n", what);
  std::abort();
}

void CheckIgnInput(const std::uint8_t* data, std::size_t size) {
  CheckRead(data, size);
  CheckIdentity(data, size);
}
