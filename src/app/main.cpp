#include "app/Application.h"
#include "app/TuneSheetCommand.h"
#include "usage/Usage.h"

int main(int argc, char** argv) {
  // Before the application object: help and version need no display.
  if (const auto status = AnswerInfoRequest(argc, argv, VantelUsage(), stdout)) return *status;
  if (const auto status = RunTuneSheetCommand(argc, argv)) return *status;
  return RunApplication(argc, argv);
}
