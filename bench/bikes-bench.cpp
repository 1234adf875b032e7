// vantel-bikes-bench: the bike library at a busy workshop's size (2 000 bikes, 100 000
// history entries). Prints how long a search takes as each letter is typed, how long the
// library takes to open (with its check), and how long the Bikes window takes to open and
// fill, offscreen in this process.
#include <QApplication>
#include <QTimer>
#include <QTreeWidget>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <vector>

#include "app/FormBikes.h"
#include "app/Hlav.h"
#include "app/HlavBikes.h"
#include "library/BikeLibrary.h"

namespace {

using TClock = std::chrono::steady_clock;

double Ms(TClock::time_point from) {
  return std::chrono::duration<double, std::milli>(TClock::now() - from).count();
}

constexpr int Bikes = 2000;
constexpr int Entries = 100000;

const char* const Makes[] = {"Husky", "Jawa", "Duke", "Ural", "Simson", "Dnepr", "Triumph"};
const char* const Customers[] = {"Novák",   "Svoboda", "Dvořák", "Černý",     "Müller",
                                 "Schmidt", "Dubois",  "Martin", "Procházka", "Kučera"};

// Each bike with its share of the history in one transaction, as an import adds it.
void Fill(const std::string& path) {
  TBikeLibrary library;
  TBikeLibrary::TOpenReport report;
  TLibraryFailure failure;
  if (!library.Open(path, "", report, failure)) {
    std::fprintf(stderr, "cannot open %s\n", path.c_str());
    std::exit(1);
  }
  const auto begin = TClock::now();
  for (int i = 0; i < Bikes; ++i) {
    TBike bike;
    bike.Name = std::string(Makes[i % 7]) + " " + std::to_string(i);
    bike.Customer = std::string(Customers[i % 10]) + " " + std::to_string(i / 10);
    bike.Make = Makes[i % 7];
    bike.Model = std::to_string(100 + i % 900);
    bike.Year = std::to_string(1960 + i % 65);
    bike.Registration = "AB-" + std::to_string(1000 + i);
    bike.Notes = "winter set-up, new pick-up " + std::to_string(i % 50);
    std::vector<THistoryEntry> entries;
    for (int k = 0; k < Entries / Bikes; ++k) {
      const int n = i * (Entries / Bikes) + k;
      entries.push_back(
          {0, 0, 1700000000 + n, static_cast<TEntryKind>(n % 4), "VNT" + std::to_string(n % 300),
           "VNT" + std::to_string(n % 300) + "  14. 3.2024  12:30",
           "/home/w/.local/share/vantel/restore-points/u/" + std::to_string(n) + ".ign",
           n % 10 == 0 ? "note " + std::to_string(n) : std::string()});
    }
    if (!library.AddBikeWithHistory(bike, false, entries, failure)) {
      std::fprintf(stderr, "cannot fill: %s\n", failure.Detail.c_str());
      std::exit(1);
    }
  }
  std::printf("filled %d bikes and %d entries in %.0f ms\n", Bikes, Entries, Ms(begin));
}

} // namespace

int main(int argc, char** argv) {
  std::setvbuf(stdout, nullptr, _IOLBF, 0);
  QTemporaryDir home;
  qputenv("VANTEL_HOME", home.path().toLocal8Bit());
  qputenv("XDG_DATA_HOME", (home.path() + "/data").toLocal8Bit());
  qputenv("QT_QPA_PLATFORM", "offscreen");
  const std::string path = BikeLibraryPath();
  Fill(path);

  TBikeLibrary library;
  TBikeLibrary::TOpenReport report;
  TLibraryFailure failure;
  auto start = TClock::now();
  library.Open(path, "", report, failure);
  std::printf("open with its check: %.1f ms\n", Ms(start));

  // As "husky novak 3" is typed, one search per key.
  const std::string typed = "husky novak 3";
  double worst = 0, total = 0;
  std::size_t found = 0;
  for (std::size_t n = 1; n <= typed.size(); ++n) {
    std::vector<TBike> bikes;
    start = TClock::now();
    library.SearchBikes(typed.substr(0, n), bikes, failure);
    const double ms = Ms(start);
    worst = std::max(worst, ms);
    total += ms;
    found = bikes.size();
  }
  std::printf("search as you type (%zu keys): mean %.2f ms, worst %.2f ms, %zu found at the end\n",
              typed.size(), total / double(typed.size()), worst, found);
  std::vector<THistoryEntry> entries;
  start = TClock::now();
  library.Entries(1, entries, failure);
  std::printf("one bike's history (%zu entries): %.2f ms\n", entries.size(), Ms(start));
  library.Close();

  QApplication app(argc, argv);
  // A pseudo-terminal for Com 1, so the window opens a port without a message box.
  const int master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) {
    std::fprintf(stderr, "vantel-bikes-bench: no pseudo-terminal\n");
    return 1;
  }
  qputenv("VANTEL_COM1", ptsname(master));
  TFormHlav form(QStringList{"ENGLISH"});
  form.Timer1->stop();
  form.show();
  start = TClock::now();
  form.MenuBikesClick();
  QApplication::processEvents();
  std::printf("Bikes window, first open (library opened, %d bikes listed): %.1f ms\n",
              form.Bikes->Window->ListBikes->topLevelItemCount() - 1, Ms(start));
  form.Bikes->Window->close();
  start = TClock::now();
  form.MenuBikesClick();
  QApplication::processEvents();
  std::printf("Bikes window, opened again: %.1f ms\n", Ms(start));
  form.FormClose();
  return 0;
}
