// vantel-sim as a child process on its own pseudo-terminal, and what it takes to run the
// real tick engine against it at real 55 ms ticks. Shared by the end-to-end tests and the
// benchmark; no test framework here.
#pragma once

#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "link/Link.h"
#include "link/RecordingHost.h"
#include "model/Normalise.h"

extern char** environ;

class TSimProcess {
public:
  TSimProcess() = default;
  TSimProcess(const TSimProcess&) = delete;
  TSimProcess& operator=(const TSimProcess&) = delete;
  ~TSimProcess() { Stop(); }

  // Starts the program and waits (bounded) for the pseudo-terminal path it prints.
  bool Start(const std::string& program, const std::vector<std::string>& args, std::string& error) {
    Stop();
    int in[2], out[2];
    if (pipe2(in, O_CLOEXEC) != 0) return Fail("pipe", error);
    if (pipe2(out, O_CLOEXEC) != 0) {
      close(in[0]), close(in[1]);
      return Fail("pipe", error);
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    std::vector<std::string> all{program, "--exit-on-stdin-eof"};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : all) argv.push_back(a.data());
    argv.push_back(nullptr);
    const int spawned = posix_spawn(&Pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(in[0]);
    close(out[1]);
    StdinWrite = in[1]; // while we hold it open the simulator lives; if we die, it exits
    if (spawned != 0) {
      Pid = -1;
      close(out[0]);
      error = program + ": " + std::strerror(spawned);
      return false;
    }
    std::string line;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (line.find('\n') == std::string::npos) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                            deadline - std::chrono::steady_clock::now())
                            .count();
      pollfd p{out[0], POLLIN, 0};
      if (left <= 0 || poll(&p, 1, static_cast<int>(left)) <= 0) break;
      char buffer[256];
      const ssize_t got = read(out[0], buffer, sizeof buffer);
      if (got <= 0) break;
      line.append(buffer, static_cast<std::size_t>(got));
    }
    close(out[0]);
    if (line.find('\n') == std::string::npos) {
      error = "vantel-sim printed no pseudo-terminal path";
      Stop();
      return false;
    }
    Path = line.substr(0, line.find('\n'));
    return true;
  }

  // SIGTERM, a bounded wait, then SIGKILL.
  void Stop() {
    if (StdinWrite >= 0) close(StdinWrite), StdinWrite = -1;
    if (Pid <= 0) return;
    kill(Pid, SIGTERM);
    kill(Pid, SIGCONT);
    for (int i = 0; i < 200; ++i) {
      if (waitpid(Pid, nullptr, WNOHANG) == Pid) {
        Pid = -1;
        return;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    kill(Pid, SIGKILL);
    waitpid(Pid, nullptr, 0);
    Pid = -1;
  }
  // Freezes the simulator (it reads nothing, as a stalled far end) and lets it go on.
  void Pause() {
    if (Pid > 0) kill(Pid, SIGSTOP);
  }
  void Resume() {
    if (Pid > 0) kill(Pid, SIGCONT);
  }
  // True once the simulator has ended by itself (collects it).
  bool Exited() {
    if (Pid <= 0) return true;
    if (waitpid(Pid, nullptr, WNOHANG) != Pid) return false;
    Pid = -1;
    return true;
  }

  std::string Path;

private:
  bool Fail(const char* what, std::string& error) {
    error = std::string(what) + ": " + std::strerror(errno);
    return false;
  }
  pid_t Pid = -1;
  int StdinWrite = -1;
};

// Passes everything to the real port and counts the frames that leave.
class TCountingPort : public TPort {
public:
  explicit TCountingPort(TPort& port) : Port(port) {}
  bool IsOpen() const override { return Port.IsOpen(); }
  int BytesWaiting() override { return Port.BytesWaiting(); }
  int Read(std::uint8_t* buffer, int max) override { return Port.Read(buffer, max); }
  bool Write(const std::uint8_t* data, int count) override {
    if (count > 0 && data[0] == MonitorRequestCommand)
      ++MonitorWrites;
    else
      ++BlockWrites;
    return Port.Write(data, count);
  }
  void SendUnsent() override { Port.SendUnsent(); }
  bool WaitSent(int timeoutMs) override { return Port.WaitSent(timeoutMs); }
  void Close() override { Port.Close(); }

  int BlockWrites = 0, MonitorWrites = 0;

private:
  TPort& Port;
};

// Ticks the engine every 55 ms of wall time, like Timer1.
class TRealTicker {
public:
  explicit TRealTicker(TLinkEngine& engine) : Engine(engine) {}
  void Tick() {
    if (Next == std::chrono::steady_clock::time_point{}) Next = std::chrono::steady_clock::now();
    Next += std::chrono::milliseconds(TickMs);
    std::this_thread::sleep_until(Next);
    Engine.Timer1Timer();
    ++Count;
  }
  // Ticks until done() holds after a tick; the ticks taken, or -1 after limit ticks.
  int TickUntil(const std::function<bool()>& done, int limit) {
    for (int i = 1; i <= limit; ++i) {
      Tick();
      if (done()) return i;
    }
    return -1;
  }
  long Count = 0;

private:
  TLinkEngine& Engine;
  std::chrono::steady_clock::time_point Next{};
};
