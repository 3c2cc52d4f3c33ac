#pragma once
// The "Plot" command's line: Plot(xFrom; xTo; steps; var; dataFile; window) = formulas,
// every argument optional from the right, "Plot = expression" with all defaults.
// After the "=", ";" outside parentheses separates the formulas, one curve each
// ("Plot = sin(x); cos(x)"); a last field "save" is not a formula but asks for the
// picture to be saved. The window argument names an open plot window ("aPlot #n") that
// takes the line's curves beside its own instead of a new window.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "script/library_client.h"

namespace vex {

// Most steps a plot may ask for: each point is one evaluation, and more would hold the
// program for minutes and take hundreds of megabytes.
inline constexpr int32_t kMaxPlotSteps = 1'000'000;
// Most curves one plot window holds: each has its own colour and legend line.
inline constexpr size_t kMaxPlotCurves = 8;

struct PlotArgs {
    std::u16string expression, variable = u"x"; // expression: the formulas joined by "; "
    double xFrom = -10, xTo = 10;
    int32_t steps = 200;
    std::u16string dataFile;              // as written (quotes at the ends dropped); empty: none
    std::vector<std::u16string> formulas; // one per curve, in order
    int32_t window = 0;                   // the open window to add to; 0: a new window
    // Which of the range arguments the line gave (a window added to keeps the others).
    bool fromGiven = false, toGiven = false, stepsGiven = false;
};

// argument: the text inside the parentheses (may be empty); expressionPart: the text after
// "=", its formulas as PlotFormulas finds them ("sin(x); save" plots sin(x), "max(x; 0);
// cos(x)" plots max(x; 0) and cos(x)); more than kMaxPlotCurves or a "save" before the
// end are refused. An empty argument keeps its default. Bounds and steps are numbers or expressions
// ("-pi", "2^8") evaluated through the bound e_eval, with the library quiet and its error code
// kept; steps must come to a whole number from 1 to kMaxPlotSteps. False with a clear error text
// otherwise. With failure set, an argument the library failed to evaluate puts its code there, and
// error ends where the library's failure text would follow.
bool ParsePlotArgs(const Library& lib, std::u16string_view argument,
                   std::u16string_view expressionPart, PlotArgs& out, std::u16string& error,
                   int32_t* failure = nullptr);

// Splits a whole line "Plot(...) = ..." ("plot" in any case) into the text inside its
// parentheses, which may nest ("Plot(-sqrt(2); 2) = x"), and the text after the "=".
// False with an error text when the parentheses do not close or the "=" is missing.
bool SplitPlotLine(std::u16string_view line, std::u16string_view& argument,
                   std::u16string_view& expressionPart, std::u16string& error);

// The fields of a Plot line's expression part, split at each ";" outside parentheses and
// trimmed, blank ones left out; a last "save" (any case) is left out too.
std::vector<std::u16string_view> PlotFormulas(std::u16string_view expressionPart);

// Whether the expression part ends with the suffix "; save" (any case, blanks around
// allowed) after its formulas: the picture is saved instead of shown. "save" anywhere
// else (inside a name such as saveRate) does not count.
bool HasSaveSuffix(std::u16string_view expressionPart);

// The same for a whole line "Plot(...) = formula; save"; false for any other line.
bool PlotLineSaves(std::u16string_view line);

// A data file name as given with the command: a name starting with "/" stays as it is,
// any other goes into folder (when folder is not empty).
std::u16string DataFilePath(std::u16string_view name, std::u16string_view folder);

// A number as the range fields and the data file write it: ten decimals, trailing zeros
// removed ("-0" is written "0"; non-finite as "inf", "-inf", "nan").
std::u16string PlotNumberText(double value, int decimals = 10);

} // namespace vex
