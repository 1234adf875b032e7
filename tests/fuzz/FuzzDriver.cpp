// Bounded random-input run of the fuzz checks with a fixed seed, so every compiler and
// every CI run tries the same inputs: random bytes, random token soups and mutations of
// a valid file.
#include <cstdio>
#include <cstdlib>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "files/IgnFile.h"
#include "model/Defaults.h"

namespace {

const std::string Words[] = {
    "ZANDERIX_KEY",
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
    "\r\n",
    "\n",
    "\t",
    " ",
    std::string(1, '\0'),
    "x",
};

std::string ValidFile(std::mt19937& rng) {
  TIgnParams p;
  auto* bytes = reinterpret_cast<std::uint8_t*>(&p);
  for (std::size_t i = 0; i < sizeof p; ++i) bytes[i] = static_cast<std::uint8_t>(rng());
  if (rng() % 2) LoadDefaultParams(p);
  std::ostringstream out(std::ios::binary);
  WriteIgnFile(out, p);
  return out.str();
}

std::string RandomBytes(std::mt19937& rng, std::size_t maxSize) {
  std::string s(rng() % (maxSize + 1), '\0');
  for (auto& c : s) c = static_cast<char>(rng());
  return s;
}

std::string TokenSoup(std::mt19937& rng) {
  std::string s;
  const int n = static_cast<int>(rng() % 200);
  for (int i = 0; i < n; ++i) {
    const auto w = rng() % (std::size(Words) + 2);
    if (w < std::size(Words)) {
      s += Words[w];
    } else if (w == std::size(Words)) {
      s += std::to_string(rng() % 100000);
    } else {
      s += std::string(200 + rng() % 400, static_cast<char>('0' + rng() % 10));
    }
    s += (rng() % 8) ? " " : "\r\n";
  }
  return s;
}

std::string Mutate(std::string s, std::mt19937& rng) {
  const int edits = 1 + static_cast<int>(rng() % 8);
  for (int e = 0; e < edits; ++e) {
    const std::size_t at = s.empty() ? 0 : rng() % s.size();
    switch (rng() % 5) {
    case 0:
      if (!s.empty()) s[at] = static_cast<char>(rng());
      break;
    case 1:
      s.insert(at, Words[rng() % std::size(Words)]);
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

} // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::atoi(argv[1]) : 20000;
  std::mt19937 rng(20070305);
  for (int n = 0; n < runs; ++n) {
    std::string input;
    switch (n % 4) {
    case 0:
      input = RandomBytes(rng, 600);
      break;
    case 1:
      input = TokenSoup(rng);
      break;
    default:
      input = Mutate(ValidFile(rng), rng);
      break;
    }
    CheckOneInput(reinterpret_cast<const std::uint8_t*>(input.data()), input.size());
  }
  // One very long token and one very long file of numbers.
  const std::string big = "ZANDERIX_KEY 67 BIKE " + std::string(1 << 20, '7');
  CheckOneInput(reinterpret_cast<const std::uint8_t*>(big.data()), big.size());
  std::printf("fuzz_files: %d inputs passed\n", runs + 1);
  return 0;
}
