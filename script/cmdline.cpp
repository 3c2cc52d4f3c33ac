#include "script/cmdline.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "common/text.h"
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

int32_t LogLine(ScriptHost& host, std::u16string_view text) {
    BatchSettings& b = host.batch;
    if (!b.logF) return 0;
    if (b.logRemembered.empty()) {
        if (b.logFileN.empty()) return -1;
        b.logRemembered = BatchPath(b, b.logFileN);
    }
    std::string line = zorbit::Utf16ToUtf8(text);
    if (line.size() < 2 || line.compare(line.size() - 2, 2, "\r\n") != 0) line += "\r\n";
    const std::string path = zorbit::Utf16ToUtf8(b.logRemembered);
    std::FILE* f = std::fopen(path.c_str(), b.logCreated ? "ab" : "wb");
    if (!f) {
        if (!b.logFailureReported)
            std::fprintf(stderr, "vexcalc: cannot open the log file %s; the run goes on\n",
                         path.c_str());
        b.logFailureReported = true;
        return -1;
    }
    b.logCreated = true;
    std::fwrite(line.data(), 1, line.size(), f);
    std::fclose(f);
    return 1;
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
    if (!usable) b.OutpFN = std::u16string(FolderPart(b.InpFN)) + u"Result.vex";
}

// Stands for a "/" inside double quotes while the line is split at "/".
constexpr char16_t kQuotedSlash = u'\uE000';

// Paths hold "/": inside double quotes a "/" does not split the switch string.
void ProtectQuotedSlashes(std::u16string& line) {
    bool quoted = false;
    for (char16_t& c : line) {
        if (c == u'"')
            quoted = !quoted;
        else if (quoted && c == u'/')
            c = kQuotedSlash;
    }
}

void RestoreSlashes(std::u16string& text) {
    for (char16_t& c : text)
        if (c == kQuotedSlash) c = u'/';
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

void Reset(ScriptHost& host) {
    BatchSettings& b = host.batch;
    b.rsetF = true;
    if (host.slots && host.slots->ReSetZiZoruze) host.slots->ReSetZiZoruze();
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
        b.selText = std::u16string(TrimSpaces(F.substr(std::min<size_t>(4, F.size()))));
        b.getFromSelTextF = true;
        b.InputFileF = false;
        b.NoHF = true;
        const std::u16string lower = ToLower(b.selText);
        if (Contains(lower, u"plot")) b.splF = Contains(lower, u"save");
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

} // namespace

void ParseCmdLine(ScriptHost& host) {
    BatchSettings& b = host.batch;
    b.noLabels = false;
    std::u16string line(TrimSpaces(b.commandLine));
    if (!line.empty() && line.back() == u'/') line += u" /";
    ProtectQuotedSlashes(line);
    const std::vector<std::u16string_view> fields = SplitFields(line, u'/');
    // Fields after the last "/" are never read.
    const size_t n = fields.size() - 1;
    bool joining = false;
    for (size_t k = 0; k < n; ++k) {
        std::u16string F = std::u16string(TrimSpaces(fields[k])) + u" /";
        RestoreSlashes(F);
        const std::u16string S = ToLower(std::u16string_view(F).substr(0, 2));
        const bool wasSel = S == u"se";
        if (ApplySwitch(host, S, F)) {
            joining = wasSel && b.getFromSelTextF;
            continue;
        }
        if (!b.getFromSelTextF) continue;
        // A "/" inside the selection split it: the pieces are joined back.
        if (joining) {
            b.selText += TrimSpaces(F);
        } else {
            if (!b.selText.empty() && b.selText.back() == u'/') b.selText.pop_back();
            joining = false;
        }
    }
    ApplyOutputRule(b);
}

} // namespace vex
