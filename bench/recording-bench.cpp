// recording-bench: a ten-hour recording (110 000 frames, one each 330 ms) written through the
// recorder, then opened, summed up and every channel reduced to the columns of a wide window.
// Prints the times and the process's peak memory; build without sanitizers for real figures.
//   vantel-recording-bench [folder]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <unistd.h>

#include "link/MonitorRecorder.h"
#include "link/Recording.h"
#include "link/RecordingSummary.h"

namespace {

using TClock = std::chrono::steady_clock;

double MsSince(TClock::time_point start) {
  return std::chrono::duration<double, std::milli>(TClock::now() - start).count();
}

long PeakKb() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

constexpr int Rows = 110000;
constexpr int Columns = 1366;

} // namespace

int main(int argc, char** argv) {
  std::string folder = argc > 1 ? argv[1] : "/tmp";
  std::string dir = folder + "/recording-bench-XXXXXX";
  if (::mkdtemp(dir.data()) == nullptr) {
    std::perror("mkdtemp");
    return 1;
  }
  const std::string path = dir + "/ten-hours.csv";

  // A ride: speed sweeping up and down, the limiter at the top, retard now and then.
  TMonitorRecorder recorder;
  TFailureReport failure;
  if (!recorder.Start(path, failure))
    return std::fprintf(stderr, "cannot write %s\n", path.c_str()), 1;
  std::int64_t ms = 1796836051042;
  for (int i = 0; i < Rows; ++i, ms += 330) {
    std::uint8_t f[51]{};
    const int rpm = 1000 + (i * 37) % 9000;
    f[0] = 0xB0, f[1] = rpm & 0xFF, f[2] = rpm >> 8;
    const int mv = 12000 + (i % 2500);
    f[3] = mv & 0xFF, f[4] = mv >> 8;
    f[31] = static_cast<std::uint8_t>(100 + rpm / 300), f[32] = 34, f[34] = 1, f[42] = 1;
    f[36] = rpm > 9500, f[39] = rpm > 9000, f[40] = i % 97 < 5, f[50] = 67;
    if (!recorder.Record(f, ms, failure)) return std::fprintf(stderr, "write failed\n"), 1;
  }
  recorder.Stop();
  const long writtenKb = PeakKb();

  auto start = TClock::now();
  TRecording r;
  if (!ReadRecordingFile(path, r, failure)) return std::fprintf(stderr, "cannot read\n"), 1;
  const double openMs = MsSince(start);

  start = TClock::now();
  const TRecordingSummary s = SummariseRecording(r);
  const double summaryMs = MsSince(start);

  start = TClock::now();
  std::vector<TColumnRange> out;
  int channels = 0;
  for (int c = 1; c < MonitorCsvColumnCount; ++c, ++channels)
    DecimateChannel(r, static_cast<TMonitorCsvColumn>(c), r.TimeMs.front(), r.TimeMs.back(),
                    Columns, out);
  const double decimateMs = MsSince(start);

  std::printf("rows read %zu (skipped %ld), %.1f hours\n", r.Rows(), r.SkippedLines,
              static_cast<double>(s.DurationMs) / 3600000.0);
  std::printf("open:      %8.1f ms\n", openMs);
  std::printf("summary:   %8.1f ms\n", summaryMs);
  std::printf("decimate:  %8.1f ms (%d channels into %d columns)\n", decimateMs, channels, Columns);
  std::printf("peak memory: %ld kB after writing, %ld kB after opening and drawing\n", writtenKb,
              PeakKb());
  ::unlink(path.c_str());
  ::rmdir(dir.c_str());
  return 0;
}
