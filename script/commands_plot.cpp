// "Plot": a function's graph in a plot window, or its picture saved when the run saves
// plots ("spl"). The window and the picture are the platform's plot service.

#include <limits>

#include "common/text.h"
#include "script/plot_args.h"
#include "script/run_state.h"
#include "script/text_util.h"

namespace vex {

namespace {

// Numbered pictures and relative data files go to the plot folder when the run names
// one, else to the current folder.
std::u16string PlotFolder(const ScriptHost& host) {
    std::u16string folder = host.batch.splPath;
    if (folder.empty() || folder == u"0") folder = host.batch.CurDir;
    if (!folder.empty() && folder.back() != u'/') folder.push_back(u'/');
    return folder;
}

} // namespace

void CmdPlot(RunState& rs, const Statement& st) {
    ++rs.host.interp.plotCount;
    std::u16string_view argument, expressionPart;
    std::u16string error;
    int32_t failure = ZORBIT_NO_ERROR;
    PlotArgs args;
    const bool parsed = SplitPlotLine(st.line, argument, expressionPart, error) &&
                        ParsePlotArgs(rs.lib, argument, expressionPart, args, error, &failure);
    // A line adding curves to an open window opens none and takes no number.
    int32_t& last = rs.host.interp.plotNumber;
    const int32_t number = parsed && args.window != 0                   ? args.window
                           : last < std::numeric_limits<int32_t>::max() ? ++last
                                                                        : last;
    const std::u16string shown =
        parsed ? args.expression : std::u16string(zorbit::TrimSpaces(expressionPart));
    std::u16string header = u"Ln " + Num(st.lineNo) + u": Plot = " + shown + u":";
    PlotService* plots = rs.host.platform ? rs.host.platform->plot : nullptr;
    if (!parsed || !plots) {
        ReportRow out = RunState::Row(RowKind::Failure, u" FileName => ",
                                      parsed ? u"plots cannot be drawn here" : error);
        // An argument the library could not evaluate fails with its code.
        if (!parsed && failure != ZORBIT_NO_ERROR) {
            out = rs.Failure(failure);
            out.SetLead(u" FileName => " + error);
        }
        rs.Record(std::move(header), std::move(out));
        return;
    }
    PlotRequest request;
    request.number = number;
    request.expression = args.expression;
    request.formulas = args.formulas;
    request.variable = args.variable;
    request.window = args.window;
    request.fromGiven = args.fromGiven;
    request.toGiven = args.toGiven;
    request.stepsGiven = args.stepsGiven;
    request.xFrom = args.xFrom;
    request.xTo = args.xTo;
    request.steps = args.steps;
    request.autoFormat = rs.host.interp.format == NumberFormat::Auto;
    const std::u16string folder = PlotFolder(rs.host);
    if (!args.dataFile.empty()) request.dataFile = DataFilePath(args.dataFile, folder);
    request.save = rs.run.savePlots || PlotLineSaves(st.line);
    request.imageName = u"0";
    request.imageFolder = folder;
    const PlotOutcome outcome = plots->Plot(request);
    // Every file the plot could not write is a failure of the run, not only a message.
    std::u16string dataNote;
    if (!outcome.dataFileError.empty()) {
        std::u16string message = outcome.dataFileError;
        for (size_t at = message.find(u'\n'); at != message.npos; at = message.find(u'\n', at + 2))
            message.replace(at, 1, u"\r\n");
        MessageBox(rs.host, u"zEdeZuvo", message);
        rs.host.batch.writeFailed = true;
        dataNote = u"; data file not written: " + request.dataFile;
    }
    if (outcome.noPoint) {
        const std::u16string lead = u" FileName => nothing drawn" + dataNote + u": ";
        ReportRow out =
            outcome.pointError == ZORBIT_NO_ERROR
                ? RunState::Row(RowKind::Failure, lead, u"no point of the plot has a finite value")
                : rs.Failure(outcome.pointError);
        out.SetLead(lead);
        rs.Record(std::move(header), std::move(out));
        return;
    }
    if (!outcome.error.empty()) {
        if (outcome.pictureNotWritten) rs.host.batch.writeFailed = true;
        rs.Record(std::move(header), RunState::Row(RowKind::Failure, u" FileName => ",
                                                   u"plot not saved: " + outcome.error + dataNote));
        return;
    }
    rs.Record(std::move(header),
              RunState::Row(dataNote.empty() ? RowKind::Result : RowKind::Failure, u" FileName => ",
                            (outcome.saved && !outcome.fileName.empty()
                                 ? outcome.fileName
                                 : std::u16string(u"plot not saved file")) +
                                dataNote));
}

} // namespace vex
