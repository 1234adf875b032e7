// The program entry, apart from main() so the window tests can start the program the
// same way.
#pragma once

#include <functional>

class TFormHlav;

// Creates the toolkit, the main window and the about window, and runs the event loop
// until the main window closes; returns the program's exit status. started runs once
// the event loop is up.
int RunApplication(int argc, char** argv, const std::function<void(TFormHlav&)>& started = {});
