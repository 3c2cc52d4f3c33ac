#pragma once
// Whether the main window can be shown. Qt aborts the process when it cannot reach a
// display, so this is decided before any window code runs.

#include <string>

namespace vex {

// True when a window can be opened: QT_QPA_PLATFORM names a platform, an X display
// accepts a connection, or a Wayland socket is there (then QT_QPA_PLATFORM is set to
// "wayland" unless it was set). Otherwise why says what is missing.
bool DisplayAvailable(std::string& why);

// True when standard input is a pipe or a file (not a terminal or a device), so its
// lines are what the caller wants evaluated.
bool StdinIsData();

} // namespace vex
