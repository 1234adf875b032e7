// Bounded random-input run of one fuzz check with a fixed seed, so every compiler and every
// CI run tries the same inputs: random bytes, soups of the words the format knows, and
// mutations of a valid input.
//   fuzz_driver <ign|profile|state|receive|curve|recording> [inputs]
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "files/IgnFile.h"
#include "files/SafeRead.h"
#include "files/StateFile.h"
#include "link/Frame.h"
#include "link/MonitorCsv.h"
#include "model/Defaults.h"

namespace {

using TRandom = std::mt19937;

struct TTarget {
  const char* Name;
  TFuzzCheck Check;
  std::vector<std::string> Words;
  std::function<std::string(TRandom&)> Valid;
};

std::string RandomBytes(TRandom& rng, std::size_t maxSize) {
  std::string s(rng() % (maxSize + 1), '\0');
  for (auto& c : s) c = static_cast<char>(rng());
  return s;
}

std::string ValidIgn(TRandom& rng) {
  TIgnParams p;
  auto* bytes = reinterpret_cast<std::uint8_t*>(&p);
  for (std::size_t i = 0; i < sizeof p; ++i) bytes[i] = static_cast<std::uint8_t>(rng());
  if (rng() % 2) LoadDefaultParams(p);
  std::ostringstream out(std::ios::binary);
  WriteIgnFile(out, p);
  return out.str();
}

std::string ValidProfile(TRandom& rng) {
  const char* end = rng() % 2 ? "\r\n" : "\n";
  std::string s;
  for (const char* section : {"[FORM_HLAV]", "[CURVE_WINDOW]", "[RESTORE_POINTS]"}) {
    s += section;
    s += end;
    for (const char* key : {"Left", "Top", "Width", "Height", "Language", "File"}) {
      if (rng() % 3 == 0) continue;
      s += key;
      s += "=";
      s += rng() % 4 ? std::to_string(static_cast<int>(rng())) : RandomBytes(rng, 12);
      s += end;
    }
    if (rng() % 2) s += end;
  }
  return s;
}

std::string ValidState(TRandom& rng) {
  TDeviceImage image;
  for (int i = 0; i < ImageSize; ++i) image.Bytes()[i] = static_cast<std::uint8_t>(rng());
  return StateFileText(image);
}

// A script of the receive check: transfer commands, frames that pass their check (mostly
// the awaited reply), raw chunks, receives and ticks.
std::string ValidReceive(TRandom& rng) {
  std::string s;
  const int ops = 1 + static_cast<int>(rng() % 40);
  for (int i = 0; i < ops; ++i) {
    switch (rng() % 6) {
    case 0:
      s += static_cast<char>(rng() % 5); // a transfer command or the back-up switch
      break;
    case 1:
    case 2:
      s += '\x06';
      s += static_cast<char>(rng() % 3);
      for (int b = 0; b < PayloadSize + 1; ++b) s += static_cast<char>(rng() % 4 ? rng() : 67);
      break;
    case 3: {
      s += '\x05';
      const std::string chunk = RandomBytes(rng, 254);
      s += static_cast<char>(chunk.size());
      s += chunk;
      break;
    }
    default:
      s += '\x07';
      s += static_cast<char>(rng());
      break;
    }
  }
  return s;
}

// A curve as a spreadsheet or a person writes it: a header now and then, separators, marks.
std::string ValidCurve(TRandom& rng) {
  const char* separators[] = {"\t", ";", ",", " ", "  "};
  const char* ends[] = {"\r\n", "\n", "\r"};
  const char* end = ends[rng() % 3];
  const char* separator = separators[rng() % 5];
  std::string s = rng() % 3 ? "" : std::string("rpm") + separator + "advance" + end;
  const int points = static_cast<int>(rng() % 17);
  for (int i = 0; i < points; ++i) {
    s += std::to_string(rng() % 25000);
    if (rng() % 4 == 0) s += (rng() % 2 ? ",5" : ".5");
    s += separator;
    s += std::to_string(static_cast<int>(rng() % 80) - 10);
    s += end;
  }
  return s;
}

// The program's own recording of random frames, now and then with LF ends.
std::string ValidRecording(TRandom& rng) {
  const bool lf = rng() % 4 == 0;
  std::string s = MonitorCsvHeader();
  std::int64_t ms = 1796836051042 + static_cast<int>(rng() % 100000);
  const int rows = static_cast<int>(rng() % 30);
  for (int i = 0; i < rows; ++i) {
    std::uint8_t frame[51];
    for (std::uint8_t& b : frame) b = static_cast<std::uint8_t>(rng() % 3 ? rng() % 2 : rng());
    char row[MonitorCsvRowSize];
    s.append(row, FormatMonitorCsvRow(frame, ms, row));
    ms += rng() % 8 ? 330 : rng() % 20000;
  }
  if (lf)
    for (std::size_t p; (p = s.find('\r')) != std::string::npos;) s.erase(p, 1);
  return s;
}

std::string TokenSoup(const TTarget& target, TRandom& rng) {
  std::string s;
  const int n = static_cast<int>(rng() % 200);
  for (int i = 0; i < n; ++i) {
    const auto w = rng() % (target.Words.size() + 2);
    if (w < target.Words.size()) {
      s += target.Words[w];
    } else if (w == target.Words.size()) {
      s += std::to_string(rng() % 100000);
    } else {
      s += std::string(200 + rng() % 400, static_cast<char>('0' + rng() % 10));
    }
    s += (rng() % 8) ? " " : "\r\n";
  }
  return s;
}

std::string Mutate(const TTarget& target, std::string s, TRandom& rng) {
  const int edits = 1 + static_cast<int>(rng() % 8);
  for (int e = 0; e < edits; ++e) {
    const std::size_t at = s.empty() ? 0 : rng() % s.size();
    switch (rng() % 5) {
    case 0:
      if (!s.empty()) s[at] = static_cast<char>(rng());
      break;
    case 1:
      s.insert(at, target.Words[rng() % target.Words.size()]);
      break;
    case 2:
      s.erase(at, rng() % 16);
      break;
    case 3:
      s.resize(at);
      break;
    default:
      s.insert(at, std::string(1 + rng() % 300, static_cast<char>(rng())));
      break;
    }
  }
  return s;
}

const std::string Blanks[] = {"\r\n", "\n", "\r", "\t", " ", std::string(1, '\0')};

std::vector<std::string> WithBlanks(std::vector<std::string> words) {
  words.insert(words.end(), std::begin(Blanks), std::end(Blanks));
  return words;
}

const TTarget Targets[] = {
    {"ign", CheckIgnInput,
     WithBlanks({"ZANDERIX_KEY",
                 "67",
                 "66",
                 "BIKE",
                 "RPM_ADV",
                 "ADVANCE",
                 "POCET_BODU",
                 "BASE_ADV",
                 "LIMITER",
                 "POLARITA",
                 "GEBER_NR",
                 "PILOT_LIGHT",
                 "REV_OUT_PILOT_LIGHT",
                 "CLUTCH",
                 "RPM",
                 "INPUT",
                 "-60",
                 "+5",
                 "4294967296",
                 "99999999999999999999",
                 "65535",
                 "-",
                 "x"}),
     ValidIgn},
    {"profile", CheckProfileInput,
     WithBlanks({"[FORM_HLAV]",
                 "[CURVE_WINDOW]",
                 "[RESTORE_POINTS]",
                 "[form_hlav]",
                 "[",
                 "]",
                 "=",
                 "Left",
                 "Top",
                 "Width",
                 "LANGUAGE",
                 "BackUp",
                 "RecordFolder",
                 "0x",
                 "$",
                 "0xFFFFFFFF",
                 "$7fffffff",
                 "-",
                 "+",
                 "2147483647",
                 "-2147483648",
                 "2147483648",
                 ";",
                 "#",
                 "\xEF\xBB\xBF"}),
     ValidProfile},
    {"state", CheckStateInput,
     WithBlanks({"0", "255", "256", "65535", "4294967296", "99999999999999999999", "-1", "+1", "x",
                 "\v", "\f"}),
     ValidState},
    {"receive",
     CheckReceiveInput,
     {std::string(1, '\0'), "\x01", "\x02", "\x03", "\x04", "\x07", "\x08\x01", "\x09\x03",
      "\x06\x01", "\x06", "\x05\xff", "\x05\x34", "\xB0", "\xC0", "\xC1", "\x80", "\x81"},
     ValidReceive},
    {"curve", CheckCurveTableInput,
     WithBlanks({"1000",
                 "1.500",
                 "1,500",
                 "15 000",
                 "12,5",
                 "12.5",
                 "-5",
                 "+3",
                 "\xE2\x88\x92",
                 "\xC2\xB0",
                 "\xC2\xA0",
                 "\xE2\x80\xAF",
                 "'",
                 "\"",
                 ";",
                 ",",
                 ".",
                 "rpm",
                 "advance",
                 "1e3",
                 "99999999999999999999",
                 "\xEF\xBB\xBF",
                 "x"}),
     ValidCurve},
    {"recording", CheckRecordingInput,
     WithBlanks({"time,rpm,advance,voltage,limiter,retard,shift_light", ",", "time", "rpm",
                 "limiter", "2026-12-09T17:07:31.042+01:00", "2026-02-29T00:00:00.000Z",
                 "1969-12-31T23:59:59.999-05:30", "12.600", "65.535", "65.536", "-100", "155",
                 "65535", "65536", "1", "0", "\"", "\xEF\xBB\xBF"}),
     ValidRecording},
};

} // namespace

int main(int argc, char** argv) {
  const TTarget* target = nullptr;
  for (const TTarget& t : Targets) {
    if (argc > 1 && std::strcmp(argv[1], t.Name) == 0) target = &t;
  }
  if (target == nullptr) {
    std::fprintf(stderr,
                 "usage: fuzz_driver <ign|profile|state|receive|curve|recording> [inputs]\n");
    return 2;
  }
  const int runs = argc > 2 ? std::atoi(argv[2]) : 5000;
  TRandom rng(20070305);
  const auto check = [&](const std::string& input) {
    target->Check(reinterpret_cast<const std::uint8_t*>(input.data()), input.size());
  };
  for (int n = 0; n < runs; ++n) {
    switch (n % 4) {
    case 0:
      check(RandomBytes(rng, 600));
      break;
    case 1:
      check(TokenSoup(*target, rng));
      break;
    default:
      check(Mutate(*target, target->Valid(rng), rng));
      break;
    }
  }
  // One very long input: a key with a huge number, or a run of one byte.
  check(std::string(target->Words.front()) + " 67 BIKE " + std::string(1 << 20, '7'));
  // Valid files grown by LF lines to just under, at and just over the read limit: a write
  // in CR LF must not make a file the next reading refuses.
  int large = 0;
  const bool file = std::strcmp(target->Name, "receive") != 0;
  for (const std::size_t size : {ReadLimitBytes - 4096, ReadLimitBytes - 1, ReadLimitBytes,
                                 ReadLimitBytes + 1, ReadLimitBytes + 4096}) {
    if (!file) break;
    std::string input = target->Valid(rng);
    while (input.size() < size) input += target->Words[rng() % target->Words.size()] + "\n";
    input.resize(size);
    check(input);
    ++large;
  }
  std::printf("fuzz_driver %s: %d inputs passed\n", target->Name, runs + 1 + large);
  return 0;
}
