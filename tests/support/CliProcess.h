// vantel-cli as a process, run as a script runs it: its exit status and what it wrote to
// standard output and standard error. Qt-free.
#pragma once

#include <string>
#include <vector>

struct TCliRun {
  int Status = -1; // the exit status; -1 when it did not start or end
  std::string Out, Err;
};

// The vantel-cli of this build.
std::string CliProgram();
// Runs it with these arguments and standard input from /dev/null, in the current
// environment; waits at most timeoutMs, then kills it.
TCliRun RunCli(const std::vector<std::string>& arguments, int timeoutMs = 60000);

// How a script may run it otherwise: standard input from a file, standard output into a
// file (such as /dev/full), and a signal sent to it after a while.
struct TCliStreams {
  std::string Input = "/dev/null";
  std::string Output; // empty: captured into TCliRun::Out
  int Signal = 0;
  std::string SignalWhen; // sent once standard error holds this text
};
TCliRun RunCli(const std::vector<std::string>& arguments, const TCliStreams& streams,
               int timeoutMs = 60000);
