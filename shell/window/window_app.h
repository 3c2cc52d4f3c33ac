#pragma once
// The windowed program: the application object, start-up with the window's services,
// the main window and its event loop.

#include "shell/startup.h"

namespace vex {

class MainWindow;

// Shows the window and opens the list the command line names, its lines evaluated
// again as File > Open does.
void ShowStartWindow(MainWindow& window, const StartOptions& options);

// Runs the calculator in its main window until the user ends it; returns the exit
// status (10 when the library cannot be loaded).
int RunWindow(int& argc, char** argv, StartOptions options);

} // namespace vex
