#include "script/file_outputs.h"

#include "common/text.h"
#include "script/file_io.h"
#include "script/plot_args.h"
#include "script/run_state.h"
#include "script/run_text.h"
#include "script/text_util.h"

namespace vex {

namespace {

using zorbit::ToLower;
using zorbit::TrimBlanks;
using zorbit::TrimSpaces;

// Where a Plot's relative data file and its numbered picture go, as the command takes it.
std::u16string PlotFolder(const ScriptHost& host) {
    std::u16string folder = host.batch.splPath;
    if (folder.empty() || folder == u"0") folder = host.batch.CurDir;
    if (!folder.empty() && folder.back() != u'/') folder.push_back(u'/');
    return folder;
}

// The data file a Plot line names (its fifth argument), without evaluating the others:
// they may use variables that earlier lines define.
std::u16string PlotDataFile(std::u16string_view line) {
    std::u16string_view argument, expressionPart;
    std::u16string error;
    if (!SplitPlotLine(line, argument, expressionPart, error)) return {};
    const std::vector<std::u16string_view> fields = SplitFields(argument, u';');
    if (fields.size() < 5) return {};
    std::u16string_view name = StripQuoteEnds(TrimBlanks(fields[4]));
    if (name.size() >= 2 && name.front() == u'"' && name.back() == u'"')
        name = name.substr(1, name.size() - 2);
    return std::u16string(name);
}

// A run saves its plots' pictures when its text holds "save" anywhere (the rule the
// command line applies to a selection); the "; save" suffix is the case it is meant for,
// so this never misses a picture that gets saved.
} // namespace

std::vector<std::u16string> FilesWritten(const ScriptHost& host, std::u16string_view script) {
    std::vector<std::u16string> files;
    const auto add = [&](std::u16string_view name) {
        files.push_back(zorbit::Utf8ToUtf16(ResolveScriptPath(host, name)));
    };
    const std::u16string text = std::u16string(script) + std::u16string(kCrLf);
    const ScriptLines lines(text);
    for (size_t i = 0; i < lines.size(); ++i) {
        std::u16string_view line = TrimSpaces(lines[i]);
        if (!line.empty() && line.front() == u'\n') line = TrimSpaces(line.substr(1));
        if (line.empty() || line.front() == u'\'') continue;
        const Statement st = SplitStatement(line, i + 1);
        const std::u16string& c = st.command;
        // Debug and ErrorMsgs only switch the library's modes: its debug log is kept in
        // memory. The other commands read files at most.
        if (c == u"exprf" || c == u"derivatef") {
            const FileArgs args = SplitFileArgs(RemoveQuotes(st.ArgumentText()));
            if (!args.output.empty()) add(args.output);
        } else if (c == u"integratef" || c == u"sdifff") {
            const FileArgs args = SplitFileArgs(st.ArgumentText());
            if (!args.output.empty()) add(args.output);
        } else if (c == u"stoexpr") {
            const std::u16string fields = std::u16string(st.ParameterText()) + u";";
            if (ToLower(TrimSpaces(Field(fields, u';', 2))) == u"fileout")
                add(TrimSpaces(Field(fields, u';', 3)));
        } else if (c == u"plot") {
            const std::u16string folder = PlotFolder(host);
            const std::u16string data = PlotDataFile(st.line);
            if (!data.empty()) files.push_back(DataFilePath(data, folder));
            if (PlotLineSaves(st.line)) files.push_back(folder + u"aPlotNr_NN.jpg");
        }
    }
    return files;
}

} // namespace vex
