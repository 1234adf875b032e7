#include "support/SimProcess.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

bool TSimProcess::Start(const std::vector<std::string>& options) {
  std::string error;
  return Start(Program(), options, error);
}

std::string TSimProcess::Program() {
  return VANTEL_SIM_PATH;
}

bool TSimProcess::Start(const std::string& program, const std::vector<std::string>& options,
                        std::string& error) {
  Stop();
  Path.clear();
  int in[2], out[2];
  if (pipe2(in, O_CLOEXEC) != 0) {
    error = std::string("pipe: ") + std::strerror(errno);
    return false;
  }
  if (pipe2(out, O_CLOEXEC) != 0) {
    error = std::string("pipe: ") + std::strerror(errno);
    close(in[0]), close(in[1]);
    return false;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, in[0], 0);
  posix_spawn_file_actions_adddup2(&actions, out[1], 1);
  std::vector<std::string> all{program, "--exit-on-stdin-eof"};
  all.insert(all.end(), options.begin(), options.end());
  std::vector<char*> argv;
  for (std::string& a : all) argv.push_back(a.data());
  argv.push_back(nullptr);
  const int spawned = posix_spawn(&Pid, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(in[0]);
  close(out[1]);
  StdinWrite = in[1];
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

void TSimProcess::Stop() {
  CloseInput();
  if (Pid <= 0) return;
  kill(Pid, SIGTERM);
  kill(Pid, SIGCONT);
  if (WaitExit(2000) >= 0) return;
  kill(Pid, SIGKILL);
  waitpid(Pid, nullptr, 0);
  Pid = -1;
}

void TSimProcess::Pause() {
  Signal(SIGSTOP);
}

void TSimProcess::Resume() {
  Signal(SIGCONT);
}

void TSimProcess::Signal(int signal) {
  if (Pid > 0) kill(Pid, signal);
}

void TSimProcess::CloseInput() {
  if (StdinWrite >= 0) close(StdinWrite), StdinWrite = -1;
}

bool TSimProcess::Exited() {
  if (Pid <= 0) return true;
  if (waitpid(Pid, nullptr, WNOHANG) != Pid) return false;
  Pid = -1;
  return true;
}

int TSimProcess::WaitExit(int timeoutMs) {
  if (Pid <= 0) return -1;
  for (int waited = 0;; waited += 10) {
    int status = 0;
    if (waitpid(Pid, &status, WNOHANG) == Pid) {
      Pid = -1;
      return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
    }
    if (waited >= timeoutMs) return -1;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}
