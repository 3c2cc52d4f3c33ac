#include "script/batch.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <new>
#include <system_error>

#include "common/text.h"
#include "script/cmdline.h"
#include "script/eval_script.h"
#include "script/file_io.h"
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

// Writes bytes to path through a temporary file in the same folder, so a failed
// write leaves the old file as it was.
bool ReplaceFile(const std::string& path, const std::string& bytes) {
    if (path.empty()) return false;
    const std::string temp = path + ".vextmp";
    std::FILE* f = std::fopen(temp.c_str(), "wb");
    if (!f) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    const bool closed = std::fclose(f) == 0;
    std::error_code ec;
    if (!written || !closed) {
        std::filesystem::remove(temp, ec);
        return false;
    }
    std::filesystem::rename(temp, path, ec);
    if (ec) std::filesystem::remove(temp, ec);
    return !ec;
}

int32_t WriteOutput(ScriptHost& host) {
    BatchSettings& b = host.batch;
    const std::string path = U8(b.OutpFN);
    std::string bytes;
    bool ok = true;
    if (b.AppendF) {
        std::error_code ec;
        if (std::filesystem::exists(path, ec)) ok = ReadFileBytes(path, bytes);
        if (!ok) MessageBox(host, kBoxTitle, u"Error 5: can't open the file\r\nfile: " + b.OutpFN);
    }
    bytes += U8(b.batchText);
    if (ok) ok = ReplaceFile(path, bytes);
    if (!ok) {
        MessageBox(host, kBoxTitle, u"Error 5: can't write the file\r\nfile: " + b.OutpFN);
        b.ExitCode = -3;
    }
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
    if (!host.slots || !host.slots->DisplayVerInfo) return u"0.0.0.0";
    char16_t file[64] = {}, product[64] = {};
    if (host.slots->DisplayVerInfo(u"", file, product) < 1) return u"0.0.0.0";
    return std::u16string(zorbit::View(file));
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

void DeleteOldResults(ScriptHost& host) {
    BatchSettings& b = host.batch;
    std::error_code ec;
    if (!b.OutpFN.empty()) std::filesystem::remove(U8(b.OutpFN), ec);
    if (!b.splF || b.splPath == u"0") return;
    const std::filesystem::path folder(U8(b.splPath));
    for (const auto& e : std::filesystem::directory_iterator(folder, ec)) {
        if (e.is_regular_file(ec) && e.path().extension() == ".jpg")
            std::filesystem::remove(e.path(), ec);
    }
    LogLine(host, Quoted(u"Deleted *.jpg : ", b.splPath + u"*.jpg"));
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
        std::u16string dir = b.programDir;
        if (!dir.empty() && dir.back() != u'/') dir.push_back(u'/');
        return ReadInto(host, dir + u"ShowCmds.vex", u"Error 7: can't read the file\r\nfile: ");
    }
    case 7:
        return WriteOutput(host);
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

size_t RunBatch(ScriptHost& host) {
    BatchSettings& b = host.batch;
    const int32_t before = b.ExitCode;
    ScriptRun run;
    run.noLabels = b.noLabels;
    run.lineSelect = b.lnsF;
    run.LineOffset = b.LineOffset;
    run.LineList = b.LnsStr;
    run.noLnExp = b.noLnExpF;
    run.savePlots = b.splF;
    ScriptResult r = EvalScript(host, b.batchText, run);
    b.lastErrors = r.Errors();
    std::u16string report;
    if (!b.NoHF) {
        report = b.headerText + u"\r\n";
        report += u"'Incorporates library libzorbit.so - rel. " + LibraryVersion(host) + u"\r\n";
        report += u"'" + std::u16string(84, u'-') + u"\r\n";
        report += u"'BatchRun : Time " + DateTimeText() + u"\r\n";
        report += u"'Input file: " + b.InpFN + u"\r\n";
        report += u"'Executed Commands: " + Num(r.Executed()) + u", Errors found: " +
                  Num(r.Errors()) + u"\r\n";
        report += u"'" + std::u16string(84, u'*') + u"\r\n";
    }
    report += r.report;
    // A script that could not be read is a failure, not a success.
    b.ExitCode = before == -2 ? -2 : -1;
    if (report.size() < 2 || std::u16string_view(report).substr(report.size() - 2) != kCrLf)
        report += kCrLf;
    b.batchText = std::move(report);
    LogLine(host,
            u"Eval Executed : Commands: " + Num(r.Executed()) + u", Errors: " + Num(r.Errors()));
    return b.batchText.size();
}

int32_t vexEvalMain(ScriptHost& host, std::u16string_view commandLine,
                    std::optional<std::u16string_view> selection) {
    BatchSettings& b = host.batch;
    b.outOfMemory = false;
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
        if (b.splPath.empty() || b.splPath == u"0" || b.splPath == u"-1")
            b.splPath = u"0";
        else
            b.splPath = std::u16string(FolderPart(ResolvePath(b.splPath, b.CurDir)));
        if (b.splPath != u"0" && !b.fileJail.empty()) b.splPath = b.fileJail + u"/";
        LogStartLines(host);
        if (ShowRequestedWindow(host)) return b.ExitCode;
        const bool fromFile = b.InputFileF || !b.getFromSelTextF;
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
            host.interp.plotCount = 0;
            b.headerText.clear();
            if (!b.NoHF) {
                const std::u16string block = IdentificationBlock();
                for (std::u16string_view line : SplitFields(block, u'\n')) {
                    if (!b.headerText.empty()) b.headerText += u"\n";
                    b.headerText += u"'" + std::u16string(line);
                }
            }
            if (b.delF) DeleteOldResults(host);
            const auto start = std::chrono::steady_clock::now();
            const size_t length = RunBatch(host);
            const long long ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                                     std::chrono::steady_clock::now() - start)
                                     .count();
            LogLine(host, u"Eval Codes    : Ret = " + Num(static_cast<long long>(length)) +
                              u", ExitCode = " + Num(b.ExitCode));
            b.vexResStr = b.batchText;
            if (fromFile) {
                b.batchText += EndLine(ms) + std::u16string(kCrLf);
                FileOp(host, 7);
                LogLine(host, Quoted(u"SaveToFile    : ", b.OutpFN));
            } else if (b.SaveToClpBF) {
                if (host.platform && host.platform->clipboard)
                    host.platform->clipboard->PutText(b.batchText);
                LogLine(host, Quoted(u"Result        : ", b.batchText));
            }
            LogLine(host, u"            1 : Command Line Executed.");
        }
    } catch (const std::bad_alloc&) {
        // Out of memory while building texts: the run fails, nothing crashes.
        b.outOfMemory = true;
        b.ExitCode = -5;
    } catch (...) {
        b.ExitCode = -5;
    }
    LogLine(host, u"Evaluation End: Exit code: " + Num(b.ExitCode));
    LogLine(host, std::u16string(53, u'-'));
    return b.ExitCode;
}

} // namespace vex
