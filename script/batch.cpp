#include "script/batch.h"

#include <sys/stat.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <new>
#include <system_error>

#include "common/text.h"
#include "script/batch_switches.h"
#include "script/eval_script.h"
#include "script/file_io.h"
#include "script/file_write.h"
#include "script/library_client.h"
#include "script/report_windows.h"
#include "script/run_log.h"
#include "script/text_util.h"

namespace vex {

using zorbit::TrimSpaces;

namespace {

constexpr std::u16string_view kBoxTitle = u"Zazu Dezeruziv";

std::u16string Quoted(std::u16string_view label, std::u16string_view value) {
    return std::u16string(label) + u"\"" + std::u16string(value) + u"\"";
}

std::string U8(std::u16string_view s) {
    return zorbit::Utf16ToUtf8(s);
}

// An appended output must be readable: its old text is carried over.
bool OldOutputReadable(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return errno == ENOENT;
    if (!S_ISREG(st.st_mode)) return true;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f) std::fclose(f);
    return f != nullptr;
}

// Writes the report pieces to the output file. "del" starts the file afresh instead of
// appending; the old text goes only when the new one takes its place.
int32_t WriteOutput(ScriptHost& host, std::initializer_list<std::u16string_view> pieces) {
    BatchSettings& b = host.batch;
    const std::string path = U8(b.OutpFN);
    const bool append = b.AppendF && !b.delF;
    std::u16string why;
    if (append && !OldOutputReadable(path)) {
        MessageBox(host, kBoxTitle, u"Error 5: can't open the file\r\nfile: " + b.OutpFN);
    } else {
        const int error = WriteTextFile(
            path, pieces, append ? WriteMode::Append : WriteMode::Replace, host.faults);
        if (error == 0) return b.ExitCode;
        // A refusal says why.
        if (error == EPERM || error == EACCES)
            why = u"\r\n(" + zorbit::Utf8ToUtf16(WriteErrorText(path, error)) + u")";
    }
    MessageBox(host, kBoxTitle, u"Error 5: can't write the file\r\nfile: " + b.OutpFN + why);
    b.ExitCode = -3;
    return b.ExitCode;
}

int32_t ReadInto(ScriptHost& host, const std::u16string& name, std::u16string_view error) {
    BatchSettings& b = host.batch;
    if (!ReadTextFile(host, U8(name), b.batchText)) {
        b.batchText.clear();
        MessageBox(host, kBoxTitle, std::u16string(error) + name);
        b.ExitCode = -2;
    }
    return b.ExitCode;
}

// The report's end line of a file run: 84 characters, filled with "-" or cut.
std::u16string EndLine(long long ms) {
    std::u16string line = u"'--- End Of BatchRun : Time " + DateTimeText() +
                          u" - (Execution Time: " + Num(ms) + u" ms)";
    line.resize(84, u'-');
    return line;
}

std::u16string LibraryVersion(const ScriptHost& host) {
    return Library(host.slots).FileVersion().value_or(u"0.0.0.0");
}

void LogStartLines(ScriptHost& host) {
    BatchSettings& b = host.batch;
    const bool outputNotAppended = b.InputFileF && !b.AppendF;
    if (b.firstRun || outputNotAppended) {
        LogLine(host, IdentificationBlock());
        LogLine(host, u"BatchRun      : Time " + DateTimeText());
        LogLine(host, Quoted(u"INI File      : ", b.iniFileName));
        LogLine(host, Quoted(u"Log File      : ",
                             b.logRemembered.empty() ? b.logFileN : b.logRemembered));
    }
    LogLine(host, Quoted(u"Command Line  : ", b.commandLine));
    LogLine(host, Quoted(u"Input File    : ", b.InputFileF ? b.InpFN : u""));
    LogLine(host, Quoted(u"Output File   : ", b.InputFileF ? b.OutpFN : u""));
    LogLine(host, Quoted(u"Save Plot Path: ", b.splPath));
    LogLine(host, Quoted(u"Current Folder: ", FolderPart(b.InpFN)));
    b.firstRun = false;
}

// The first report window asked for; true when one was shown.
bool ShowRequestedWindow(ScriptHost& host) {
    BatchSettings& b = host.batch;
    if (b.showMemory) return b.showMemory = false, ShowMemoryWindow(host), true;
    if (b.showLog) return b.showLog = false, ShowLogWindow(host), true;
    if (b.showFlags) return b.showFlags = false, ShowFlagsWindow(host), true;
    if (b.showAbout) return b.showAbout = false, ShowAboutWindow(host), true;
    if (b.showCommands) return b.showCommands = false, ShowCommandsWindow(host), true;
    return false;
}

// This program's plot images: "aPlotNr_" + number + ".jpg".
bool IsPlotImageName(const std::string& name) {
    constexpr std::string_view kStart = "aPlotNr_", kEnd = ".jpg";
    if (name.size() <= kStart.size() + kEnd.size() || !name.starts_with(kStart) ||
        !name.ends_with(kEnd))
        return false;
    const std::string_view digits =
        std::string_view(name).substr(kStart.size(), name.size() - kStart.size() - kEnd.size());
    return digits.find_first_not_of("0123456789") == std::string_view::npos;
}

// "del" with saved plots: the plot images of earlier runs go from the plot folder (only
// plain files there, nothing in its subfolders, nothing a symlink points to).
void DeletePlotImages(ScriptHost& host) {
    BatchSettings& b = host.batch;
    if (!b.splF || b.splPath == u"0") return;
    std::error_code ec;
    std::filesystem::directory_iterator it(U8(b.splPath), ec);
    for (const std::filesystem::directory_iterator end; !ec && it != end; it.increment(ec)) {
        std::error_code fileEc;
        if (it->symlink_status(fileEc).type() != std::filesystem::file_type::regular ||
            !IsPlotImageName(it->path().filename().string()))
            continue;
        std::filesystem::remove(it->path(), fileEc);
    }
    LogLine(host, Quoted(u"Deleted *.jpg : ", b.splPath + u"aPlotNr_*.jpg"));
}

// The folder plot images go to: a value that names an existing folder is that folder,
// any other its folder part.
std::u16string PlotFolder(const BatchSettings& b) {
    if (b.splPath.empty() || b.splPath == u"0" || b.splPath == u"-1") return u"0";
    if (!b.fileJail.empty()) return b.fileJail + u"/";
    std::u16string path = ResolvePath(b.splPath, b.CurDir);
    std::error_code ec;
    if (std::filesystem::is_directory(U8(path), ec)) {
        if (path.back() != u'/') path.push_back(u'/');
        return path;
    }
    return std::u16string(FolderPart(path));
}

// True when both names are one existing file.
bool SameFile(std::u16string_view a, std::u16string_view b) {
    struct stat sa {
    }, sb{};
    return !a.empty() && !b.empty() && ::stat(U8(a).c_str(), &sa) == 0 &&
           ::stat(U8(b).c_str(), &sb) == 0 && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

// What holds for one call only: "del", and a log refused for this run.
class CallScope {
  public:
    explicit CallScope(BatchSettings& b) : b_(b) {}
    ~CallScope() {
        b_.delF = false;
        if (logSuspended_) b_.logF = true;
    }
    CallScope(const CallScope&) = delete;
    CallScope& operator=(const CallScope&) = delete;
    void SuspendLog() {
        logSuspended_ = b_.logF;
        b_.logF = false;
    }

  private:
    BatchSettings& b_;
    bool logSuspended_ = false;
};

// Room for the report header in front of the report (see RunBatch).
size_t HeaderRoom(const BatchSettings& b) {
    return b.headerText.size() + b.InpFN.size() + 512;
}

} // namespace

std::u16string DateTimeText() {
    const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm tm{};
    localtime_r(&now, &tm);
    char buf[80];
    std::snprintf(buf, sizeof buf, "%02d/%02d/%04d - %02d:%02d:%02d", tm.tm_mday, tm.tm_mon + 1,
                  tm.tm_year + 1900, tm.tm_hour, tm.tm_min, tm.tm_sec);
    return zorbit::Utf8ToUtf16(buf);
}

std::u16string IdentificationBlock() {
    return u"vexCalc - calculator of math formulas with a small script language\r\n"
           u"Program: vexcalc " VEX_VERSION_TEXT u", batch runner of the script interpreter\r\n"
           u"Source : the vexCalc project\r\n" +
           std::u16string(75, u'-');
}

std::u16string AboutText() {
    return u"vexcalc (vexCalc calculator), version " VEX_VERSION_TEXT u", Unicode build\r\n" +
           std::u16string(60, u'-') +
           u"\r\nThis program is an advanced calculator of math formulas: it calculates and "
           u"plots\r\n"
           u"expressions, polynomials, integrals, matrices and derivatives with a simple script\r\n"
           u"language, and it uses the library libzorbit.so.\r\n"
           u"Freeware: use it at your own risk; it comes without any warranty.";
}

int32_t FileOp(ScriptHost& host, int32_t mode) {
    BatchSettings& b = host.batch;
    switch (mode) {
    case 6:
        return ReadInto(host, b.InpFN, u"Error 4: can't read the file\r\nfile: ");
    case 1:
        return ReadInto(host, b.logRemembered.empty() ? b.logFileN : b.logRemembered,
                        u"Error 7: can't read the file\r\nfile: ");
    case 2: {
        std::u16string dir = b.helpDir.empty() ? b.programDir : b.helpDir;
        if (!dir.empty() && dir.back() != u'/') dir.push_back(u'/');
        return ReadInto(host, dir + u"ShowCmds.vex", u"Error 7: can't read the file\r\nfile: ");
    }
    case 7:
        return WriteOutput(host, {b.batchText});
    case 8:
    case 4:
        // No file requester without a window: the question counts as cancelled.
        if (mode == 4) {
            MessageBox(host, kBoxTitle, u"Error 7: Operation cancelled by user.");
            b.ExitCode = -4;
        } else {
            MessageBox(host, kBoxTitle, u"Error 5: can't write the file\r\nfile: ");
            b.ExitCode = -3;
        }
        return b.ExitCode;
    default:
        return b.ExitCode;
    }
}

size_t RunBatch(ScriptHost& host, std::vector<ReportRow>* rows) {
    BatchSettings& b = host.batch;
    const int32_t before = b.ExitCode;
    ScriptRun run;
    run.noLabels = b.noLabels;
    run.lineSelect = b.lnsF;
    run.LineOffset = b.LineOffset;
    run.LineList = b.LnsStr;
    run.noLnExp = b.noLnExpF;
    run.savePlots = b.splF;
    run.reportRoom = b.NoHF ? 2 : HeaderRoom(b);
    run.rows = rows;
    b.writeFailed = false;
    ScriptResult r = EvalScript(host, b.batchText, run);
    // The script is done with: its memory goes before the report is finished.
    std::u16string().swap(b.batchText);
    b.lastErrors = r.Errors();
    if (r.outOfMemory) {
        b.ExitCode = -5;
        return 0;
    }
    if (host.faults && host.faults->allocation) host.faults->allocation("report");
    std::u16string report = std::move(r.report);
    if (!b.NoHF) {
        std::u16string header = b.headerText + u"\r\n";
        header += u"'Incorporates library libzorbit.so - rel. " + LibraryVersion(host) + u"\r\n";
        header += u"'" + std::u16string(84, u'-') + u"\r\n";
        header += u"'BatchRun : Time " + DateTimeText() + u"\r\n";
        header += u"'Input file: " + b.InpFN + u"\r\n";
        header += u"'Executed Commands: " + Num(r.Executed()) + u", Errors found: " +
                  Num(r.Errors()) + u"\r\n";
        header += u"'" + std::u16string(84, u'*') + u"\r\n";
        // Within the room reserved for it: the report is moved, not copied.
        report.insert(0, header);
    }
    // A script that could not be read is a failure, not a success; so is a file the
    // script wrote that could not be written.
    b.ExitCode = before == -2 ? -2 : b.writeFailed ? -3 : -1;
    if (report.size() < 2 || std::u16string_view(report).substr(report.size() - 2) != kCrLf)
        report += kCrLf;
    b.batchText = std::move(report);
    LogLine(host,
            u"Eval Executed : Commands: " + Num(r.Executed()) + u", Errors: " + Num(r.Errors()));
    return b.batchText.size();
}

namespace {

// Runs the script in the batch text and delivers its report.
void Run(ScriptHost& host, bool fromFile, std::vector<ReportRow>* rows) {
    BatchSettings& b = host.batch;
    host.interp.plotCount = 0;
    b.headerText.clear();
    if (!b.NoHF) {
        const std::u16string block = IdentificationBlock();
        for (std::u16string_view line : SplitFields(block, u'\n')) {
            if (!b.headerText.empty()) b.headerText += u"\n";
            b.headerText += u"'" + std::u16string(line);
        }
    }
    if (b.delF) DeletePlotImages(host);
    const auto start = std::chrono::steady_clock::now();
    const size_t length = RunBatch(host, rows);
    const long long ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                             std::chrono::steady_clock::now() - start)
                             .count();
    LogLine(host, u"Eval Codes    : Ret = " + Num(static_cast<long long>(length)) +
                      u", ExitCode = " + Num(b.ExitCode));
    if (b.ExitCode == -5) {
        // Out of memory: the report is lost, and the old output stays as it was.
        b.vexResStr.clear();
        return;
    }
    // The report moves to the caller's result; the file gets it with the end line.
    b.vexResStr = std::move(b.batchText);
    b.batchText.clear();
    if (fromFile) {
        const std::u16string end = EndLine(ms) + std::u16string(kCrLf);
        WriteOutput(host, {b.vexResStr, end});
        LogLine(host, Quoted(u"SaveToFile    : ", b.OutpFN));
    } else if (b.SaveToClpBF) {
        if (host.platform && host.platform->clipboard)
            host.platform->clipboard->PutText(b.vexResStr);
        LogLine(host, Quoted(u"Result        : ", b.vexResStr));
    }
    LogLine(host, u"            1 : Command Line Executed.");
}

} // namespace

int32_t vexEvalMain(ScriptHost& host, std::u16string_view commandLine,
                    std::optional<std::u16string_view> selection, std::vector<ReportRow>* rows) {
    BatchSettings& b = host.batch;
    CallScope scope(b);
    b.outOfMemory = false;
    if (rows) rows->clear();
    try {
        b.commandLine = std::u16string(commandLine);
        b.lastErrors = 0;
        ParseCmdLine(host);
        if (selection) SetSelection(host, *selection);
        if (b.showFlags) b.showFlags = false, ShowFlagsWindow(host);
        if (b.showAbout) b.showAbout = false, ShowAboutWindow(host);
        if (b.CurDir.empty()) b.CurDir = b.programDir + u"/vexXNpp/";
        if (b.logF) b.logFileN = BatchPath(b, b.logFileN.empty() ? u"vexCmds.log" : b.logFileN);
        b.InpFN = BatchPath(b, b.InpFN);
        b.OutpFN = BatchPath(b, b.OutpFN);
        b.splPath = PlotFolder(b);
        const bool fromFile = b.InputFileF || !b.getFromSelTextF;
        // A log written into the input would overwrite the script before it is read.
        const std::u16string& logName = b.logRemembered.empty() ? b.logFileN : b.logRemembered;
        if (b.logF && fromFile && SameFile(logName, b.InpFN)) {
            MessageBox(host, kBoxTitle,
                       u"Error 7: the log file is the input file; no log is written\r\nfile: " +
                           logName);
            scope.SuspendLog();
        }
        LogStartLines(host);
        if (ShowRequestedWindow(host)) return b.ExitCode;
        if (fromFile && b.InpFN.empty()) {
            LogLine(host, u"Error : Invalid Input file.\r\nfilename: " + b.InpFN +
                              u".\r\n Program will terminate.");
            b.ExitCode = -5;
        } else {
            b.ExitCode = -1;
            if (fromFile) {
                FileOp(host, 6);
                LogLine(host, Quoted(u"LoadFromFile  : ", b.InpFN));
            } else {
                std::u16string sel(TrimSpaces(b.selText));
                b.selText.clear();
                LogLine(host, Quoted(u"Expression    : ", sel));
                if (!sel.empty() && sel.back() == u'/') sel.pop_back();
                sel = std::u16string(TrimSpaces(sel));
                if (!sel.empty() && sel.front() == u'\'') sel = std::u16string(StripQuoteEnds(sel));
                b.batchText = std::move(sel);
            }
            if (b.ExitCode == -2) {
                // Nothing was read, so nothing runs and the old output stays as it was.
                b.batchText.clear();
                b.vexResStr.clear();
            } else {
                Run(host, fromFile, rows);
            }
        }
    } catch (...) {
        // Out of memory while building texts: the run fails, nothing crashes, and the old
        // output stays (a report is written only whole).
        b.outOfMemory = true;
        b.ExitCode = -5;
        b.vexResStr.clear();
        if (rows) rows->clear();
    }
    try {
        LogLine(host, u"Evaluation End: Exit code: " + Num(b.ExitCode));
        LogLine(host, std::u16string(53, u'-'));
    } catch (...) {
        // Without memory for the log the run's outcome stands.
    }
    return b.ExitCode;
}

} // namespace vex
