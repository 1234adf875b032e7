#include "SimUnit.h"

#include "model/Defaults.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr double SweepSeconds = 20.0; // idle -> limiter -> idle
constexpr double RiseSeconds = 9.0;   // then 2 s at the limiter, 9 s back down
constexpr double Pi = 3.14159265358979323846;

void PutWord(std::uint8_t* frame, int offset, unsigned value) {
  frame[offset] = static_cast<std::uint8_t>(value & 0xFF);
  frame[offset + 1] = static_cast<std::uint8_t>((value >> 8) & 0xFF);
}

// Month code: the sum of the three letters of the English abbreviation, modulo 256.
std::uint8_t MonthCode(const char* name) {
  return static_cast<std::uint8_t>((name[0] + name[1] + name[2]) & 0xFF);
}

} // namespace

TSimUnit::TSimUnit(const TSimOptions& options)
    : Options(options), Random(options.Seed ? options.Seed : 1) {
  std::uint8_t* identity = Memory[0];
  std::memcpy(identity, "VNT", 3);
  identity[3] = 12; // program version
  identity[4] = 14; // 14 Mar 2024, 12:30
  identity[5] = MonthCode("Mar");
  identity[6] = 24;
  identity[7] = 12;
  identity[8] = 30;
  identity[10] = options.LayoutVersion;
  const std::size_t nameLength = std::min<std::size_t>(options.LongName.size(), 30);
  std::memcpy(identity + 16, options.LongName.data(), nameLength);

  // The default set with a five-point curve and both inputs in use: a tune that every
  // normalisation rule leaves as it is.
  TIgnParams& p = *reinterpret_cast<TIgnParams*>(Memory[1]);
  LoadDefaultParams(p);
  p.Bike = 0;
  p.PocetBodu = 5;
  p.Input1 = 4; // start limiter
  p.Input2 = 3; // retard
  static const std::uint8_t advance[5] = {10, 18, 26, 32, 34};
  std::copy(std::begin(advance), std::end(advance), p.Advance);
  Advance(0);
}

void TSimUnit::SetBlock1(const std::uint8_t* block) {
  std::memcpy(Memory[1], block, BlockSize);
  Advance(0);
}

std::uint32_t TSimUnit::NextRandom() {
  // xorshift32: small, seedable, the same sequence on every platform.
  Random ^= Random << 13;
  Random ^= Random >> 17;
  Random ^= Random << 5;
  return Random;
}

bool TSimUnit::Chance(int percent) {
  if (percent <= 0) return false;
  if (percent >= 100) return true;
  return static_cast<int>(NextRandom() % 100) < percent;
}

std::uint16_t TSimUnit::SaveCountdown() const {
  if (!Storing) return 0;
  const int left =
      StoreCountdownStart - static_cast<int>(StoreElapsed / StoreSeconds * StoreCountdownStart);
  return static_cast<std::uint16_t>(std::max(left, 0));
}

void TSimUnit::LoseStore() {
  if (!Storing) return;
  std::memcpy(Memory[1], Unstored, BlockSize);
  --Programmings;
  Storing = false;
}

void TSimUnit::Advance(double seconds) {
  if (seconds > 0) Time += seconds;
  if (Storing) {
    if (seconds > 0) StoreElapsed += seconds;
    if (SaveCountdown() == 0) Storing = false;
  }
  const TIgnParams& p = Params();
  Input1Active = std::fmod(Time, 8.0) >= 5.0;
  Input2Active = std::fmod(Time + 2.0, 11.0) >= 7.0;
  Millivolts = static_cast<int>(13150.0 + 2350.0 * std::sin(2.0 * Pi * Time / 13.0));

  if (Options.Stopped) {
    CurrentRpm = 0;
    return;
  }
  const int limit = std::max<int>(p.Omez2 * 100, IdleRpm);
  const double phase = std::fmod(Time, SweepSeconds);
  const double fall = SweepSeconds - RiseSeconds;
  double rpm;
  if (phase < RiseSeconds)
    rpm = IdleRpm + (limit - IdleRpm) * phase / RiseSeconds;
  else if (phase < fall)
    rpm = limit;
  else
    rpm = limit - (limit - IdleRpm) * (phase - fall) / RiseSeconds;
  // An input in start-limiter mode holds the engine at the start-limiter speed.
  const bool startLimiter = (p.Input1 == 4 && Input1Active) || (p.Input2 == 4 && Input2Active);
  if (startLimiter) rpm = std::min<double>(rpm, std::max<int>(p.Omez1 * 100, IdleRpm));
  CurrentRpm = static_cast<int>(rpm);
}

int TSimUnit::CurrentAdvance(bool& baseAdvance) const {
  const TIgnParams& p = Params();
  const int points = std::clamp<int>(p.PocetBodu, 1, CurvePoints);
  baseAdvance = CurrentRpm < p.RpmAdv[0] * 100;
  if (baseAdvance) return p.BaseAdv;
  const double r = CurrentRpm / 100.0;
  int i = 0;
  while (i + 1 < points && r >= p.RpmAdv[i + 1]) ++i;
  if (i + 1 >= points) return p.Advance[points - 1];
  const double span = p.RpmAdv[i + 1] - p.RpmAdv[i];
  const double t = span > 0 ? (r - p.RpmAdv[i]) / span : 0.0;
  return static_cast<int>(std::lround(p.Advance[i] + (p.Advance[i + 1] - p.Advance[i]) * t));
}

void TSimUnit::BuildMonitorFrame(TLinkFrame& frame) {
  frame.fill(0);
  const TIgnParams& p = Params();
  const bool running = CurrentRpm > 0;
  frame[0] = MonitorReplyCommand;
  PutWord(frame.data(), 1, static_cast<unsigned>(CurrentRpm));
  PutWord(frame.data(), 3, static_cast<unsigned>(Millivolts));
  PutWord(frame.data(), 5, Programmings);
  const unsigned tests[8] = {TestCounter,
                             static_cast<unsigned>(CurrentRpm),
                             static_cast<unsigned>(Millivolts),
                             Time > 0 ? static_cast<unsigned>(Time) : 0u,
                             static_cast<unsigned>(TestCounter * 3u),
                             0x1234u,
                             0u,
                             0xFFFFu};
  for (int i = 0; i < 8; ++i) PutWord(frame.data(), 7 + 2 * i, tests[i] & 0xFFFF);
  ++TestCounter;

  frame[29] = Input1Active;
  frame[30] = Input2Active;
  bool baseAdvance = true;
  int advance = running ? CurrentAdvance(baseAdvance) : p.BaseAdv;
  const bool retard = (p.Input1 == 3 && Input1Active) || (p.Input2 == 3 && Input2Active);
  if (retard && running) advance -= p.Retard;
  frame[31] = static_cast<std::uint8_t>(std::clamp(advance + 100, 0, 255));
  const int points = std::clamp<int>(p.PocetBodu, 1, CurvePoints);
  frame[32] = *std::max_element(p.Advance, p.Advance + points);
  frame[33] = p.Polarita == 1;
  frame[34] = running;
  const bool startLimiterInput = (p.Input1 == 4 && Input1Active) || (p.Input2 == 4 && Input2Active);
  frame[35] = running && startLimiterInput && CurrentRpm >= p.Omez1 * 100;
  frame[36] = running && CurrentRpm >= p.Omez2 * 100;
  frame[37] = p.Input2 == 1 && Input2Active;
  frame[38] = p.Input1 == 1 && Input1Active;
  frame[39] = running && CurrentRpm >= p.LedRazeni * 100;
  frame[40] = retard;
  frame[41] = (p.Input1 == 2 && Input1Active) || (p.Input2 == 2 && Input2Active);
  frame[42] = running;
  frame[43] = !running || baseAdvance;
  PutWord(frame.data(), 47, SaveCountdown());
  frame[49] = 0;
  frame[50] = Options.LayoutVersion;
  SealFrame(frame);
}

void TSimUnit::HandleRequest(const std::uint8_t* request, std::vector<std::uint8_t>& reply) {
  reply.clear();
  if (Options.Silent || !FrameCheckOk(request)) return;
  TLinkFrame out{};
  const std::uint8_t command = request[0];
  switch (command) {
  case MonitorRequestCommand:
    BuildMonitorFrame(out);
    break;
  case 0x40:
  case 0x00: // the unit keeps its own identity; the PC's block 0 is not stored
    std::memcpy(out.data() + 1, Memory[0], BlockSize);
    break;
  case 0x41:
    std::memcpy(out.data() + 1, Memory[1], BlockSize);
    // Only a verify carries the PC's block; a read takes whatever comes and would then
    // verify against the same changed byte.
    if (Options.BadVerify &&
        std::any_of(request + 1, request + 1 + BlockSize, [](std::uint8_t b) { return b != 0; }))
      out[1 + 35] ^= 0x01;
    break;
  case 0x01:
    if (!Storing) std::memcpy(Unstored, Memory[1], BlockSize);
    std::memcpy(Memory[1], request + 1, BlockSize);
    ++Programmings;
    Storing = true;
    StoreElapsed = 0;
    std::memcpy(out.data() + 1, Memory[1], BlockSize);
    if (Options.BadEcho) out[1 + 35] ^= 0x01;
    Advance(0);
    break;
  default:
    return;
  }
  if (command != MonitorRequestCommand) out[0] = command | ReplyFlag;
  SealFrame(out);
  if (Chance(Options.DropPercent)) return;
  if (Chance(Options.CorruptPercent)) out[FrameSize - 1] ^= 0x5A;
  for (int i = 0; i < Options.Stray; ++i) reply.push_back(static_cast<std::uint8_t>(NextRandom()));
  reply.insert(reply.end(), out.begin(), out.end());
}

void TSimRequestReader::Feed(const std::uint8_t* data, std::size_t count, double now) {
  if (count == 0) return;
  // A flood of garbage cannot grow the buffer without bound.
  constexpr std::size_t Limit = 64 * FrameSize;
  if (Buffer.size() + count > Limit) Buffer.clear();
  if (count > Limit) {
    data += count - Limit;
    count = Limit;
  }
  Buffer.insert(Buffer.end(), data, data + count);
  LastByte = now;
}

bool TSimRequestReader::NextRequest(TLinkFrame& request) {
  while (ByPlaceOnly && Buffer.size() >= static_cast<std::size_t>(FrameSize)) {
    const bool valid = FrameCheckOk(Buffer.data());
    if (valid) std::copy_n(Buffer.begin(), FrameSize, request.begin());
    Buffer.erase(Buffer.begin(), Buffer.begin() + FrameSize);
    if (valid) return true;
  }
  if (ByPlaceOnly) return false;
  std::size_t start = 0;
  while (Buffer.size() - start >= static_cast<std::size_t>(FrameSize)) {
    if (FrameCheckOk(Buffer.data() + start)) {
      std::copy_n(Buffer.begin() + static_cast<std::ptrdiff_t>(start), FrameSize, request.begin());
      Buffer.erase(Buffer.begin(), Buffer.begin() + static_cast<std::ptrdiff_t>(start + FrameSize));
      return true;
    }
    ++start;
  }
  Buffer.erase(Buffer.begin(), Buffer.begin() + static_cast<std::ptrdiff_t>(start));
  return false;
}

void TSimRequestReader::Expire(double now, double maxAgeSeconds) {
  if (!ByPlaceOnly && !Buffer.empty() && now - LastByte > maxAgeSeconds) Buffer.clear();
}
