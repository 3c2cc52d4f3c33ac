#pragma once
// The files a script would write if it ran: the output names of the file variants
// (ExprF, IntegrateF, SDiffF, DerivateF), StoExpr with "fileout", and a Plot's data
// file and saved picture. Found from the text alone, without running anything, so that
// a document can say what it would write before it is run.

#include <string>
#include <string_view>
#include <vector>

#include "script/script_host.h"

namespace vex {

// The files script (lines separated by CR LF, or one line) would write, in the order
// its statements name them, each as the path it would be written to (relative names
// taken from host's folders as the run takes them). A saved plot picture is named by
// its folder and "aPlotNr_NN.jpg": its number is only known when it is drawn.
std::vector<std::u16string> FilesWritten(const ScriptHost& host, std::u16string_view script);

} // namespace vex
