// vantel-bench: how long Read, Verify and Program take against vantel-sim over a real
// pseudo-terminal at real 55 ms ticks, next to the least the tick rules allow.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "link/PosixSerialPort.h"
#include "model/Defaults.h"
#include "support/RealTicks.h"
#include "support/RecordingHost.h"
#include "support/SimProcess.h"

namespace {

using TClock = std::chrono::steady_clock;

struct TFigures {
  const char* Name;
  std::vector<int> Ticks, Least;
  std::vector<double> Ms;
  int Resends = 0, Failures = 0;
};

// Ticks from a command to the tick that sends its first frame, by the SendTicks the
// idle cadence left.
int FirstSendTicks(int sendTicks) {
  return sendTicks >= ResendTicks - 1 ? 1 : ResendTicks - sendTicks;
}

double Mean(const std::vector<int>& v) {
  double sum = 0;
  for (int x : v) sum += x;
  return v.empty() ? 0 : sum / static_cast<double>(v.size());
}
double Mean(const std::vector<double>& v) {
  double sum = 0;
  for (double x : v) sum += x;
  return v.empty() ? 0 : sum / static_cast<double>(v.size());
}

void PrintRow(const TFigures& f, bool withLeast) {
  if (f.Ticks.empty()) {
    std::printf("%-9s %s\n", f.Name, "no pass completed");
    return;
  }
  const int maxTicks = *std::max_element(f.Ticks.begin(), f.Ticks.end());
  const double maxMs = *std::max_element(f.Ms.begin(), f.Ms.end());
  char least[16] = "unit", leastMs[16] = "-";
  if (withLeast) {
    std::snprintf(least, sizeof least, "%.2f", Mean(f.Least));
    std::snprintf(leastMs, sizeof leastMs, "%.1f", Mean(f.Least) * TickMs);
  }
  std::printf("%-9s %7zu %7.2f %7s %6d %8.1f %8s %8.1f %5d/%-3zu %5d\n", f.Name, f.Ticks.size(),
              Mean(f.Ticks), least, maxTicks, Mean(f.Ms), leastMs, maxMs, f.Resends, f.Ticks.size(),
              f.Failures);
}

} // namespace

int main(int argc, char** argv) {
  int passes = 20;
  std::string simPath = TSimProcess::Program();
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--passes" && i + 1 < argc) {
      passes = std::atoi(argv[++i]);
    } else if (arg == "--sim" && i + 1 < argc) {
      simPath = argv[++i];
    } else {
      std::fprintf(stderr, "usage: vantel-bench [--passes N] [--sim PATH]\n");
      return 2;
    }
  }
  if (passes < 1 || passes > 10000) {
    std::fprintf(stderr, "vantel-bench: --passes needs a number 1..10000\n");
    return 2;
  }

  TSimProcess sim;
  TPosixSerialPort serial;
  std::string error;
  TFailureReport failure;
  if (!sim.Start(simPath, {}, error) || !serial.Open(sim.Path, failure)) {
    if (error.empty()) error = DescribeFailure(failure, LangEnglish);
    std::fprintf(stderr, "vantel-bench: %s\n", error.c_str());
    return 1;
  }
  TCountingPort port(serial);
  TDeviceImage image{};
  LoadDefaultParams(image.Params);
  TRecordingHost host(image);
  host.NormaliseParams();
  TLinkEngine engine(image, host);
  engine.SetPort(&port);
  TRealTicker ticker(engine);

  TFigures read{"Read", {}, {}, {}}, verify{"Verify", {}, {}, {}}, program{"Program", {}, {}, {}},
      storing{"Storing", {}, {}, {}};
  // Frames of a pass without resends, and the ticks after the first send to its end:
  // each reply is handled on the tick after its frame left.
  struct TPass {
    TFigures& Figures;
    void (TLinkEngine::*Start)();
    int Frames;
  };
  TPass kinds[] = {{read, &TLinkEngine::StartRead, 3},
                   {verify, &TLinkEngine::StartVerify, 1},
                   {program, &TLinkEngine::StartProgram, 3}};
  unsigned phase = 1;
  for (TPass& kind : kinds) {
    for (int pass = 0; pass < passes; ++pass) {
      // Vary where in the idle cadence the command falls.
      phase = phase * 1103515245u + 12345u;
      for (unsigned i = 0; i < (phase >> 16) % MonitorTicks; ++i) ticker.Tick();
      if (kind.Start == &TLinkEngine::StartProgram)
        image.Params.BaseAdv = static_cast<std::uint8_t>(10 + pass % 2);
      const int writes = port.BlockWrites;
      const int least = FirstSendTicks(engine.SendTicks) + kind.Frames;
      const TClock::time_point start = TClock::now();
      (engine.*kind.Start)();
      const int ticks = ticker.TickUntil([&] { return engine.TransferMode == tmIdle; }, 200);
      const double ms = std::chrono::duration<double, std::milli>(TClock::now() - start).count();
      if (ticks < 0 || engine.LastOutcome().Result != TPassResult::Ok) {
        ++kind.Figures.Failures;
        continue;
      }
      kind.Figures.Ticks.push_back(ticks);
      kind.Figures.Least.push_back(least);
      kind.Figures.Ms.push_back(ms);
      if (port.BlockWrites - writes > kind.Frames) ++kind.Figures.Resends;
      if (kind.Start != &TLinkEngine::StartProgram) continue;
      // The unit stores; the pass is over when its countdown has reached 0.
      host.Texts.clear();
      const TClock::time_point stored = TClock::now();
      const int storeTicks =
          ticker.TickUntil([&] { return engine.Phase() == TLinkPhase::Idle; }, 400);
      if (storeTicks < 0 || engine.LastOutcome().Pass != ::TPass::Store ||
          engine.LastOutcome().Result != TPassResult::Ok || !host.Seen("Saving:")) {
        ++storing.Failures;
        continue;
      }
      storing.Ticks.push_back(storeTicks);
      storing.Ms.push_back(
          std::chrono::duration<double, std::milli>(TClock::now() - stored).count());
    }
  }

  std::printf("vantel-bench: %d passes each against %s on %s, tick %d ms\n", passes,
              simPath.c_str(), sim.Path.c_str(), TickMs);
  std::printf("%-9s %7s %7s %7s %6s %8s %8s %8s %9s %5s\n", "command", "passes", "ticks", "least",
              "max", "ms", "least ms", "max ms", "resends", "fail");
  PrintRow(read, true);
  PrintRow(verify, true);
  PrintRow(program, true);
  PrintRow(storing, false);
  std::printf("ticks/ms: from the command to the end of the pass (Read, Verify: \"Verify: OK\";\n"
              "Program: \"Verify: OK\" of its verify pass); least: first send after 1 to 4\n"
              "ticks, then one tick per reply. Storing: from \"Verify: OK\" to \"Programing: "
              "OK\",\nset by the unit's storing time. resends: passes that needed a resend.\n");
  serial.Close();
  sim.Stop();
  return read.Failures + verify.Failures + program.Failures ? 1 : 0;
}
