// vantel-sim as a child process on its own pseudo-terminal: the far end of the end-to-end
// tests, the window tests that run against a unit, and the benchmark. Qt-free.
#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

class TSimProcess {
public:
  TSimProcess() = default;
  TSimProcess(const TSimProcess&) = delete;
  TSimProcess& operator=(const TSimProcess&) = delete;
  ~TSimProcess() { Stop(); }

  // The vantel-sim of this build.
  static std::string Program();

  // Starts the program and waits (bounded) for the pseudo-terminal path it prints. It runs
  // with --exit-on-stdin-eof and this object holds its standard input, so it ends with the
  // test even when the test dies.
  bool Start(const std::string& program, const std::vector<std::string>& options,
             std::string& error);
  // The same with the build's vantel-sim; false when it did not start.
  bool Start(const std::vector<std::string>& options = {});
  // SIGTERM, a bounded wait, then SIGKILL.
  void Stop();
  // Freezes the simulator (it reads nothing, as a stalled far end) and lets it go on.
  void Pause();
  void Resume();
  void Signal(int signal);
  // Closes its standard input, which ends it.
  void CloseInput();
  // True once the simulator has ended by itself (collects it).
  bool Exited();
  // Waits up to timeoutMs for it to end: its exit status, or -1 while it still runs.
  int WaitExit(int timeoutMs = 2000);

  std::string Path; // the pseudo-terminal the program should open

private:
  pid_t Pid = -1;
  int StdinWrite = -1;
};
