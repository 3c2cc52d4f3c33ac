#pragma once
// Runs the matrix-entry window for a caller: the text in the caller's buffer goes in,
// the definition comes back in it (cut to the room the caller gave).

#include <cstdint>

class QWidget;

namespace vex::grid {

struct GridHost;

// Needs a QApplication. buffer: the caller's text followed by room (spaces), or null.
// Returns the number of characters handed back (0: nothing).
int32_t RunMtxMaker(char16_t* buffer, const GridHost& host, QWidget* parent = nullptr);

} // namespace vex::grid
