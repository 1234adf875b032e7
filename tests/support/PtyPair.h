// A pseudo-terminal pair made in the test's own process: the master side stands for the far
// end, the slave's path is what the program opens. Qt-free.
#pragma once

#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <unistd.h>

struct TPtyPair {
  int Master = -1;
  std::string Slave;
  TPtyPair() {
    Master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (Master >= 0 && grantpt(Master) == 0 && unlockpt(Master) == 0) Slave = ptsname(Master);
  }
  // The far end never waits: reads of nothing and writes into a full queue return at once.
  void NonBlocking() { fcntl(Master, F_SETFL, fcntl(Master, F_GETFL) | O_NONBLOCK); }
  // The far end hangs up.
  void CloseMaster() {
    if (Master >= 0) close(Master);
    Master = -1;
  }
  ~TPtyPair() { CloseMaster(); }
  TPtyPair(const TPtyPair&) = delete;
  TPtyPair& operator=(const TPtyPair&) = delete;
};
