#include "support/CliProcess.h"

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "support/TempHome.h"

extern char** environ;

std::string CliProgram() {
  return VANTEL_CLI_PATH;
}

TCliRun RunCli(const std::vector<std::string>& arguments, int timeoutMs) {
  return RunCli(arguments, TCliStreams{}, timeoutMs);
}

TCliRun RunCli(const std::vector<std::string>& arguments, const TCliStreams& streams,
               int timeoutMs) {
  TCliRun run;
  // Both streams into files, so a full pipe can never stall the program.
  char outName[] = "/tmp/vantel-cli-out-XXXXXX";
  char errName[] = "/tmp/vantel-cli-err-XXXXXX";
  const int out = mkstemp(outName), err = mkstemp(errName);
  if (out < 0 || err < 0) return run;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, streams.Input.c_str(), O_RDONLY, 0);
  if (streams.Output.empty())
    posix_spawn_file_actions_adddup2(&actions, out, 1);
  else
    posix_spawn_file_actions_addopen(&actions, 1, streams.Output.c_str(), O_WRONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, err, 2);
  std::vector<std::string> all{CliProgram()};
  all.insert(all.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& a : all) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid = -1;
  const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(out);
  close(err);
  if (spawned == 0) {
    int status = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    bool signalled = streams.Signal == 0;
    while (waitpid(pid, &status, WNOHANG) != pid) {
      if (!signalled && TTempHome::Slurp(errName).find(streams.SignalWhen) != std::string::npos) {
        kill(pid, streams.Signal);
        signalled = true;
      }
      if (std::chrono::steady_clock::now() > deadline) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
        status = -1;
        break;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (status != -1 && WIFEXITED(status)) run.Status = WEXITSTATUS(status);
  }
  run.Out = TTempHome::Slurp(outName);
  run.Err = TTempHome::Slurp(errName);
  unlink(outName);
  unlink(errName);
  return run;
}
