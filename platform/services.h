#pragma once
// Host services the interpreter and the batch run use: message box, clipboard,
// text window and plot windows. The windowed program installs its own; the
// terminal ones never block and never open a window.

#include <cstdint>
#include <string_view>

#include "zorbit/codes.h"

namespace vex {

class MessageBoxService {
  public:
    virtual ~MessageBoxService() = default;
    // Returns the answer (ZORBIT_ID_OK, ZORBIT_ID_YES, ZORBIT_ID_NO).
    virtual int32_t Show(std::u16string_view title, std::u16string_view text, int32_t style,
                         int32_t defaultAnswer) = 0;
};

class ClipboardService {
  public:
    virtual ~ClipboardService() = default;
    // False when there is no clipboard to put the text on.
    virtual bool PutText(std::u16string_view text) = 0;
};

// The messages window: the report windows ("sm", "lg", ...) show their text in it, and
// the library writes numbered lines to it (position as WriteMessage's option).
class TextWindowService {
  public:
    virtual ~TextWindowService() = default;
    virtual void ShowText(std::u16string_view text) = 0;
    virtual void WriteLine(std::u16string_view line, int32_t position) = 0;
    virtual void Close() = 0;
};

class PlotService {
  public:
    virtual ~PlotService() = default;
    // Closes the plot windows a run left open.
    virtual void CloseAll() = 0;
};

struct Platform {
    MessageBoxService* messageBox = nullptr;
    ClipboardService* clipboard = nullptr;
    TextWindowService* textWindow = nullptr;
    PlotService* plot = nullptr;
};

// Terminal services: message boxes go to stderr (default answer taken), the text
// window writes to stdout, there is no clipboard and no plot window.
Platform& TerminalPlatform();

} // namespace vex
