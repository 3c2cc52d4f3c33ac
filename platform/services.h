#pragma once
// Host services the interpreter and the batch run use: message box, clipboard,
// text window and plot windows. The windowed program installs its own; the
// terminal ones never block and never open a window.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

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

// One plot as the "Plot" command asks for it; the points are computed by the service
// through the library (it holds the bound entry slots).
struct PlotRequest {
    int32_t number = 1;                   // "aPlot #" + number
    std::u16string expression;            // what is plotted (several formulas joined by "; ")
    std::vector<std::u16string> formulas; // one curve each; empty: expression is the one
    std::u16string variable;              // replaced by each x
    // An open window ("aPlot #" + window) takes the curves beside its own; 0: a new one.
    // It keeps its x range and steps where the line gave none.
    int32_t window = 0;
    bool fromGiven = true, toGiven = true, stepsGiven = true;
    double xFrom = -10, xTo = 10;
    int32_t steps = 200;
    std::u16string dataFile;    // a path, or empty for no data file
    bool save = false;          // switch "spl": save the picture and close the window
    std::u16string imageName;   // "0" (numbered), "-1", "" (clipboard) or a file name
    std::u16string imageFolder; // where numbered pictures go (ends with "/")
    bool autoFormat = false;    // tick labels as the list writes numbers: Auto, else fixed
};

struct PlotOutcome {
    bool saved = false;             // the picture was written (or put on the clipboard)
    std::u16string fileName;        // the picture's file name when one was written
    std::u16string error;           // why the plot or its picture failed; empty on success
    std::u16string dataFileError;   // why the data file was not written; the plot goes on
    bool pictureNotWritten = false; // error: the picture's file could not be written
    // No point of the plot has a value: nothing is drawn or saved (the data file, when
    // asked for, is still written). pointError: the first point's library error code,
    // -1 when every point evaluated to a value that is not finite.
    bool noPoint = false;
    int32_t pointError = -1;
};

class PlotService {
  public:
    virtual ~PlotService() = default;
    // Draws a plot: in a window that stays open, or (request.save) saved and closed.
    virtual PlotOutcome Plot(const PlotRequest& request) = 0;
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
