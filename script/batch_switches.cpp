#include "script/batch_switches.h"

#include <filesystem>
#include <system_error>

#include "common/text.h"
#include "script/library_client.h"
#include "script/plot_args.h"
#include "script/run_log.h"
#include "script/text_util.h"

namespace vex {

using zorbit::ToLower;
using zorbit::TrimSpaces;

std::u16string ResolvePath(std::u16string_view name, std::u16string_view curDir) {
    std::u16string path(TrimSpaces(name));
    if (path.empty()) return path;
    for (char16_t& c : path)
        if (c == u'\\') c = u'/';
    if (path.size() >= 2 && path[1] == u':' &&
        ((path[0] >= u'A' && path[0] <= u'Z') || (path[0] >= u'a' && path[0] <= u'z')))
        path.erase(0, 2);
    if (!path.empty() && path.front() == u'/') return path;
    std::u16string dir(curDir);
    if (!dir.empty() && dir.back() != u'/') dir.push_back(u'/');
    return dir + path;
}

std::u16string BatchPath(const BatchSettings& b, std::u16string_view name) {
    std::u16string path = ResolvePath(name, b.CurDir);
    if (b.fileJail.empty() || path.empty()) return path;
    std::u16string base = path.substr(path.find_last_of(u'/') + 1);
    if (base.empty() || base == u"." || base == u"..") base = u"unnamed";
    return b.fileJail + u"/" + base;
}

std::u16string_view FolderPart(std::u16string_view path) {
    const size_t slash = path.find_last_of(u"/\\");
    return slash == path.npos ? std::u16string_view() : path.substr(0, slash + 1);
}

namespace {

// A named output must not be a folder; with no usable name the report of a file run
// goes to "Result.vex" beside the input file.
void ApplyOutputRule(BatchSettings& b) {
    if (b.InpFN.empty()) return;
    bool usable = !b.OutpFN.empty();
    if (usable) {
        std::error_code ec;
        const std::filesystem::path p(zorbit::Utf16ToUtf8(ResolvePath(b.OutpFN, b.CurDir)));
        usable = !std::filesystem::is_directory(p, ec);
    }
    if (usable) return;
    if (!b.OutpFN.empty()) b.outputReplaced = b.OutpFN;
    b.OutpFN = std::u16string(FolderPart(b.InpFN)) + u"Result.vex";
}

// A file name without the double quotes around it.
std::u16string FileName(std::u16string_view text) {
    text = TrimSpaces(text);
    if (text.size() >= 2 && text.front() == u'"' && text.back() == u'"')
        text = text.substr(1, text.size() - 2);
    return std::u16string(text);
}

// The value of a switch: the field without the " /" added to it.
std::u16string_view Value(std::u16string_view field) {
    if (field.size() >= 2 && field.substr(field.size() - 2) == u" /") field.remove_suffix(2);
    return field;
}

std::u16string_view AfterColon(std::u16string_view field) {
    const size_t colon = field.find(u':');
    return colon == field.npos ? std::u16string_view()
                               : Value(field).substr(std::min(colon + 1, Value(field).size()));
}

// Whether text holds "plot" in any case, without a lower-case copy of a long selection.
bool MentionsPlot(std::u16string_view text) {
    for (size_t i = 0; i + 4 <= text.size(); ++i)
        if (zorbit::EqualsNoCase(text.substr(i, 4), u"plot")) return true;
    return false;
}

void SelectText(BatchSettings& b, std::u16string text) {
    b.selText = std::move(text);
    b.getFromSelTextF = true;
    b.InputFileF = false;
    b.NoHF = true;
    if (!MentionsPlot(b.selText)) return;
    // Only a Plot line ending in "; save" saves; "save" inside a name does not.
    // The selection as the run takes it: a trailing "/" and the quotes at its ends go.
    std::u16string_view rest = TrimSpaces(b.selText);
    if (!rest.empty() && rest.back() == u'/') rest = TrimSpaces(rest.substr(0, rest.size() - 1));
    rest = StripQuoteEnds(rest);
    b.splF = false;
    while (!rest.empty() && !b.splF) {
        const size_t end = std::min(rest.find(u'\r'), rest.find(u'\n'));
        b.splF = PlotLineSaves(rest.substr(0, end));
        rest = end == rest.npos ? std::u16string_view() : rest.substr(end + 1);
    }
}

void Reset(ScriptHost& host) {
    BatchSettings& b = host.batch;
    b.rsetF = true;
    Library(host.slots).ResetAll();
    b.getFromSelTextF = b.noLnExpF = b.NoHF = b.InputFileF = b.OutputFileF = b.AppendF = false;
    b.InpFN.clear();
    b.OutpFN.clear();
    b.splPath.clear();
    b.LineOffset = 0;
    LogLine(host, u"Command       : Reset ZiZoruze and all command variables and string");
}

// One switch; false when the field is none of them.
bool ApplySwitch(ScriptHost& host, std::u16string_view S, std::u16string_view F) {
    BatchSettings& b = host.batch;
    if (S == u"nt") {
        b.noLabels = true;
    } else if (S == u"i ") {
        b.InpFN = FileName(Value(F).substr(1));
        b.InputFileF = true;
    } else if (S == u"o " || S == u"a ") {
        const std::u16string name = FileName(Value(F).substr(1));
        if (name.empty())
            ApplyOutputRule(b);
        else
            b.OutpFN = name;
        b.OutputFileF = true;
        b.AppendF = b.NoHF = S == u"a ";
        b.getFromSelTextF = false;
    } else if (S == u"sc") {
        b.SaveToClpBF = true;
    } else if (S == u"se") {
        SelectText(b, std::u16string(TrimSpaces(F.substr(std::min<size_t>(4, F.size())))));
    } else if (S == u"de") {
        b.delF = true;
    } else if (S == u"ln") {
        b.LnsStr = u";" + std::u16string(TrimSpaces(AfterColon(F))) + u";";
        b.lnsF = b.AppendF = b.NoHF = true;
        b.getFromSelTextF = false;
    } else if (S == u"lc") {
        b.LineOffset = IntegerValue(AfterColon(F));
    } else if (S == u"sp") {
        b.splF = true;
        b.splPath = FileName(AfterColon(F));
    } else if (S == u"lo") {
        b.logF = true;
        b.logFileN = FileName(AfterColon(F));
    } else if (S == u"rs") {
        Reset(host);
    } else if (S == u"no") {
        b.NoHF = true;
    } else if (S == u"nl") {
        b.noLnExpF = true;
    } else if (S == u"sm") {
        b.showMemory = true;
    } else if (S == u"lg") {
        b.showLog = true;
    } else if (S == u"sf") {
        b.showFlags = true;
    } else if (S == u"cm") {
        b.showCommands = true;
    } else if (S == u"ab") {
        b.showAbout = true;
    } else if (S != u"pb" && S != u"re" && S != u"w ") {
        return false;
    }
    return true;
}

// The next "/" at or after from that is not inside double quotes (paths hold "/").
size_t NextSlash(std::u16string_view line, size_t from) {
    bool quoted = false;
    for (size_t i = from; i < line.size(); ++i) {
        if (line[i] == u'"')
            quoted = !quoted;
        else if (line[i] == u'/' && !quoted)
            return i;
    }
    return line.npos;
}

// The opening "'" of a quoted selection when the field at start is "sel:'...";
// npos for any other field.
size_t SelectionQuote(std::u16string_view line, size_t start) {
    const size_t s = line.find_first_not_of(u' ', start);
    if (s == line.npos || line.size() - s < 4) return line.npos;
    const std::u16string_view head = line.substr(s, 4);
    if (ToLower(head.substr(0, 2)) != u"se" || head.find_first_of(u"/\"'") != head.npos)
        return line.npos;
    const size_t q = line.find_first_not_of(u' ', s + 4);
    return q != line.npos && line[q] == u'\'' ? q : line.npos;
}

} // namespace

void ParseCmdLine(ScriptHost& host) {
    BatchSettings& b = host.batch;
    b.noLabels = false;
    b.ignoredSwitches.clear();
    b.outputReplaced.clear();
    std::u16string line(TrimSpaces(b.commandLine));
    const size_t lastGiven = line.rfind(u'/');
    if (!line.empty() && line.back() == u'/') line += u" /";
    bool joining = false;
    // Each field ends at a "/"; the text after the last "/" is never read.
    for (size_t start = 0;;) {
        const size_t quote = SelectionQuote(line, start);
        size_t end = line.npos;
        if (quote == line.npos) {
            end = NextSlash(line, start);
        } else {
            // The quoted selection is one unit: no "/" inside it splits the field.
            const size_t close = line.find(u'\'', quote + 1);
            if (close != line.npos)
                end = NextSlash(line, close + 1);
            else if (lastGiven != line.npos && lastGiven > quote)
                end = lastGiven;
        }
        if (end == line.npos) break;
        const std::u16string_view field =
            TrimSpaces(std::u16string_view(line).substr(start, end - start));
        start = end + 1;
        const std::u16string F = std::u16string(field) + u" /";
        const std::u16string S = ToLower(std::u16string_view(F).substr(0, 2));
        if (ApplySwitch(host, S, F)) {
            // Only an unquoted selection can have been split by a "/" inside it.
            joining = S == u"se" && quote == line.npos && b.getFromSelTextF;
            continue;
        }
        if (b.getFromSelTextF && joining) {
            b.selText += TrimSpaces(F);
            continue;
        }
        if (b.getFromSelTextF) {
            if (!b.selText.empty() && b.selText.back() == u'/') b.selText.pop_back();
            joining = false;
        }
        if (!field.empty()) b.ignoredSwitches.emplace_back(field);
    }
    ApplyOutputRule(b);
}

void SetSelection(ScriptHost& host, std::u16string_view text) {
    // Built in place: an entry line of many megabytes is not copied once more.
    std::u16string quoted;
    quoted.reserve(text.size() + 2);
    quoted += u'\'';
    quoted += text;
    quoted += u'\'';
    SelectText(host.batch, std::move(quoted));
}

} // namespace vex
