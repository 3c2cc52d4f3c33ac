#pragma once
// The windowed program: the application object, start-up with the window's services,
// the main window and its event loop.

#include "shell/startup.h"

namespace vex {

// Runs the calculator in its main window until the user ends it; returns the exit
// status (10 when the library cannot be loaded).
int RunWindow(int& argc, char** argv, StartOptions options);

} // namespace vex
