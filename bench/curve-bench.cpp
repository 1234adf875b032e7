// vantel-curve-bench: what the curve window costs the 55 ms tick. The real main window runs
// offscreen against the simulated unit in this process; its ticks are called one by one and
// timed with the curve window never built, then alternately shown and hidden, in one run.
// Repaints happen between the ticks, as in the event loop, and are timed apart.
#include <QApplication>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <vector>

#include "SimUnit.h"
#include "app/Hlav.h"
#include "files/Profile.h"
#include "app/FormCurve.h"
#include "app/FormCurveGraph.h"

namespace {

using TClock = std::chrono::steady_clock;

// The simulated unit behind the port interface, answering every request at once.
class TInProcessUnit : public TPort {
public:
  TSimUnit Unit;
  bool IsOpen() const override { return true; }
  TPortCount BytesWaiting() override { return Counted(static_cast<int>(Pending.size())); }
  TPortCount Read(std::uint8_t* buffer, int max) override {
    int count = 0;
    while (count < max && !Pending.empty()) {
      buffer[count++] = Pending.front();
      Pending.pop_front();
    }
    return Counted(count);
  }
  bool Write(const std::uint8_t* data, int count) override {
    Requests.Feed(data, static_cast<std::size_t>(count), 0);
    TLinkFrame request;
    while (Requests.NextRequest(request)) {
      Unit.HandleRequest(request.data(), Reply);
      Pending.insert(Pending.end(), Reply.begin(), Reply.end());
    }
    return true;
  }
  bool WaitSent(int) override { return true; }
  void Close() override {}

private:
  TSimRequestReader Requests;
  std::deque<std::uint8_t> Pending;
  std::vector<std::uint8_t> Reply;
};

struct TFigures {
  std::vector<double> Tick;  // microseconds of each tick's own work
  std::vector<double> Frame; // of the ticks that took a monitor frame
  double PaintMs = 0;        // event processing between the ticks (repaints)
  int Frames = 0;
};

double Mean(const std::vector<double>& v) {
  double sum = 0;
  for (double x : v) sum += x;
  return v.empty() ? 0 : sum / static_cast<double>(v.size());
}

double Percentile(std::vector<double> v, double p) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  return v[std::min(v.size() - 1, static_cast<std::size_t>(p * static_cast<double>(v.size())))];
}

// ticks ticks of the window, the unit's engine moving 55 ms with each. With paint, the
// event loop runs after every tick as it does in the program; without, only after the last,
// which leaves the tick's own work apart from what painting does to the caches.
void Run(TFormHlav& form, TInProcessUnit& unit, int ticks, TFigures& figures, bool paint = true) {
  for (int i = 0; i < ticks; ++i) {
    unit.Unit.Advance(TickMs / 1000.0);
    const TClock::time_point start = TClock::now();
    form.Timer1Timer();
    const double us = std::chrono::duration<double, std::micro>(TClock::now() - start).count();
    figures.Tick.push_back(us);
    // An accepted frame set the count to 0, and the tick's end counted this tick.
    if (form.Link.NoLinkTicks == 1) {
      figures.Frame.push_back(us);
      ++figures.Frames;
    }
    if (!paint && i + 1 < ticks) continue;
    const TClock::time_point painted = TClock::now();
    QApplication::processEvents();
    figures.PaintMs += std::chrono::duration<double, std::milli>(TClock::now() - painted).count();
  }
}

void PrintRow(const char* name, const TFigures& f) {
  std::printf("%-24s %7zu %9.1f %9.1f %9.1f %9.1f %7d %10.2f\n", name, f.Tick.size(), Mean(f.Tick),
              Percentile(f.Tick, 0.5), Percentile(f.Tick, 0.99), Mean(f.Frame), f.Frames,
              f.Frames ? f.PaintMs / f.Frames : 0.0);
}

} // namespace

int main(int argc, char** argv) {
  int ticks = 600;
  int rounds = 4;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--ticks" && i + 1 < argc) {
      ticks = std::atoi(argv[++i]);
    } else if (arg == "--rounds" && i + 1 < argc) {
      rounds = std::atoi(argv[++i]);
    } else {
      std::fprintf(stderr, "usage: vantel-curve-bench [--ticks N] [--rounds N]\n");
      return 2;
    }
  }
  if (ticks < 10 || ticks > 100000 || rounds < 1 || rounds > 100) {
    std::fprintf(stderr, "vantel-curve-bench: --ticks 10..100000, --rounds 1..100\n");
    return 2;
  }
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);

  // A settings folder of its own, and a pseudo-terminal for Com 1 so the window opens a port
  // without a message box; the ticks then talk to the unit in this process.
  QTemporaryDir home;
  const int master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (!home.isValid() || master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) {
    std::fprintf(stderr, "vantel-curve-bench: no settings folder or pseudo-terminal\n");
    return 1;
  }
  qputenv("VANTEL_HOME", home.path().toLocal8Bit());
  qputenv("VANTEL_COM1", ptsname(master));

  TInProcessUnit unit;
  TFormHlav form(QStringList{"ENGLISH"});
  form.Timer1->stop();
  form.show();
  form.Link.SetPort(&unit);
  TFigures warm;
  Run(form, unit, 60, warm);

  // Never built, then the same window shown and hidden by turns.
  TFigures never, shown, unpainted, hidden, recording;
  for (int r = 0; r < rounds; ++r) Run(form, unit, ticks, never);
  form.MenuCurveClick();
  for (int r = 0; r < rounds; ++r) {
    form.FormCurve->show();
    Run(form, unit, ticks, shown);
    Run(form, unit, ticks, unpainted, false);
    form.FormCurve->hide();
    Run(form, unit, ticks, hidden);
  }
  // Recording while shown: one row written per frame.
  TFailureReport failure;
  const std::string csv = home.filePath("bench.csv").toStdString();
  form.FormCurve->show();
  if (form.Recorder.Start(csv, failure)) {
    for (int r = 0; r < rounds; ++r) Run(form, unit, ticks, recording);
    form.Recorder.Stop();
  }

  // Drawing each part once, as a repaint does, outside the tick.
  const auto drawMs = [](QWidget* widget) {
    const int times = 20;
    const TClock::time_point start = TClock::now();
    for (int i = 0; i < times; ++i) widget->grab();
    return std::chrono::duration<double, std::milli>(TClock::now() - start).count() / times;
  };
  const double graphMs = drawMs(form.FormCurve->Graph);
  const double stripMs = drawMs(form.FormCurve->StripChart);

  // The one thing the closed window adds to a tick: the ring write per accepted frame.
  static TMonitorRing ring; // static: the writes are not optimised away
  const std::uint8_t* frame = form.Link.MonitorFrame.data();
  const int pushes = 1000000;
  const TClock::time_point start = TClock::now();
  for (int i = 0; i < pushes; ++i) ring.Push(frame, i);
  const double pushNs =
      std::chrono::duration<double, std::nano>(TClock::now() - start).count() / pushes;

  std::printf("vantel-curve-bench: %d rounds of %d ticks each, tick %d ms, in-process unit\n",
              rounds, ticks, TickMs);
  std::printf("%-24s %7s %9s %9s %9s %9s %7s %10s\n", "curve window", "ticks", "mean us",
              "median us", "p99 us", "frame us", "frames", "paint ms");
  PrintRow("never built", never);
  PrintRow("hidden after use", hidden);
  PrintRow("shown", shown);
  PrintRow("shown, painted at end", unpainted);
  PrintRow("shown and recording", recording);
  std::printf("ratio shown / never built: mean %.2f, median %.2f, frame ticks %.2f\n",
              Mean(shown.Tick) / Mean(never.Tick),
              Percentile(shown.Tick, 0.5) / Percentile(never.Tick, 0.5),
              Mean(shown.Frame) / Mean(never.Frame));
  std::printf("ratio shown, painted at end / never built: mean %.2f, frame ticks %.2f\n",
              Mean(unpainted.Tick) / Mean(never.Tick), Mean(unpainted.Frame) / Mean(never.Frame));
  std::printf("drawing outside the tick: graph %.2f ms, strip chart %.2f ms\n", graphMs, stripMs);
  std::printf("ring write per accepted frame: %.1f ns (%.3f%% of a never-built frame tick)\n",
              pushNs, 100.0 * pushNs / 1000.0 / Mean(never.Frame));
  std::printf("us: the tick's own work (Timer1Timer); frame us: ticks that took a monitor "
              "frame;\npaint ms: repaints done by the event loop after the ticks, per frame.\n");
  form.close();
  ::close(master);
  return 0;
}
