#pragma once
// Runs the matrix-entry window for a caller: the caller's text goes in, the definition
// comes back whole (in the calculator) or cut to the room of a C caller's buffer.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "gridentry/window/grid_window.h"

class QWidget;

namespace vex::grid {

// Needs a QApplication. Nothing when the grid was never made (the caller's text stays),
// "" after Exit, else the whole definition.
std::optional<std::u16string> RunGrid(std::u16string_view text, const Library& library,
                                      DialogService& dialogs, GridOptions options = {},
                                      QWidget* parent = nullptr);

// The C callers' form. buffer: the caller's text followed by room (spaces), or null;
// null runs on the text of the last call. Returns the number of characters handed back
// (0: nothing, and the buffer is left as it was when the grid was never made).
int32_t RunMtxMaker(char16_t* buffer, const Library& library, DialogService& dialogs,
                    GridOptions options = {}, QWidget* parent = nullptr);

} // namespace vex::grid
