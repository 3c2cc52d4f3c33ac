#pragma once
// The interpreter's context: the bound entry slots, the platform services and the
// process-wide state of the interpreter and the batch run. The program keeps one;
// tests make a fresh one per case.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/services.h"
#include "script/slots.h"
#include "script/text_util.h"

namespace vex {

// Settings the commands read, and what outlives one run.
struct InterpreterState {
    int32_t decimals = 4; // -1 means 10 decimals
    NumberFormat format = NumberFormat::Fixed;
    // The precision mode last given to the library (the Precision command, the program's
    // setting), so the program can show it.
    int32_t precision = ZORBIT_PRECISION_CLASSIC;
    std::u16string PolyVar; // set by "VarPolyn", kept for the process
    int32_t plotCount = 0;  // plot windows the current run opened
    int32_t plotNumber = 0; // the last plot's number: counts on through every run
};

// The batch run: its switches (they persist from call to call), files, log and codes.
struct BatchSettings {
    int32_t ExitCode = -1;
    std::u16string vexResStr;
    std::u16string commandLine;
    std::u16string batchText;
    bool firstRun = true;
    // Switches.
    bool noLabels = false;
    std::u16string InpFN;
    bool InputFileF = false;
    std::u16string OutpFN;
    bool OutputFileF = false;
    bool AppendF = false;
    bool NoHF = false;
    bool noLnExpF = false;
    bool SaveToClpBF = false;
    std::u16string selText;
    bool getFromSelTextF = false;
    bool getFromClpF = false;
    bool delF = false;
    bool lnsF = false;
    std::u16string LnsStr;
    int32_t LineOffset = 0;
    bool splF = false;
    std::u16string splPath;
    bool logF = false;
    std::u16string logFileN;
    bool rrF = false;
    bool rsetF = false;
    bool quitF = false;
    bool showMemory = false;   // "sm"
    bool showLog = false;      // "lg"
    bool showFlags = false;    // "sf"
    bool showCommands = false; // "cm"
    bool showAbout = false;    // "ab"
    // Folders: the working folder for relative names and the program's own folder.
    std::u16string CurDir;
    std::u16string programDir;
    std::u16string helpDir; // holds ShowCmds.vex; the program's folder when empty
    // When set, every file a script names is taken from this folder (by its last
    // name part), so fuzzing never reads or writes anywhere else.
    std::u16string fileJail;
    // Log file: the remembered name, whether it was created this process, and
    // whether a failure to open it was already reported.
    std::u16string logRemembered;
    bool logCreated = false;
    bool logFailureReported = false;
    // Names shown in the log and the flags window.
    std::u16string iniFileName;
    // The report header of the current run, and the errors its script found.
    std::u16string headerText;
    int32_t lastErrors = 0;
    // A file the current run had to write (a command's output, a plot's data file or
    // picture) could not be written: the run ends with exit code -3.
    bool writeFailed = false;
    // What the last parse of a switch string passed over, for the caller to tell:
    // fields that are no switch, and an output name the output rule replaced.
    std::vector<std::u16string> ignoredSwitches;
    std::u16string outputReplaced;
    // The last run ran out of memory: its report is lost.
    bool outOfMemory = false;
};

// Test seam: failures that cannot be caused for real in a test (memory running out, a
// folder that refuses a new file while running as root). Unset hooks inject nothing.
struct FaultHooks {
    // Called where a run builds its large texts: "line" (each statement), "report"
    // (the finished report) and "output" (each piece written); may throw std::bad_alloc.
    std::function<void(std::string_view point)> allocation;
    // Called before a step of writing a file: "access" (whether the user may write an
    // existing file: root may write any), "temp" (creating the temporary file), "write"
    // (each piece of text) and "rename" (putting the file in place); a non-zero errno
    // value makes the step fail so.
    std::function<int(std::string_view step)> fileStep;
};

struct ScriptHost {
    const EntrySlots* slots = nullptr;
    Platform* platform = nullptr;
    InterpreterState interp;
    BatchSettings batch;
    const FaultHooks* faults = nullptr;
};

// Shows a message box through the platform layer (nothing when there is none).
int32_t MessageBox(ScriptHost& host, std::u16string_view title, std::u16string_view text);

} // namespace vex
