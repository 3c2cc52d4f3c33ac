#include "derive/diff_log.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "common/text.h"
#include "engine/function_table.h"
#include "engine/host_hooks.h"

namespace zorbit {

namespace {

// The operators' names; functions print their rows' names.
constexpr std::array<std::u16string_view, 10> kOpName = {
    u"", u"(", u")", u"+", u"-", u"*", u"/", u"#", u"f(x)", u"",
};

std::u16string WithoutPrefixTDF(std::u16string_view name) {
    std::u16string out(name);
    for (size_t at = out.find(u"TDF_"); at != std::u16string::npos; at = out.find(u"TDF_", at))
        out.erase(at, 4);
    return out;
}

int32_t& OpenEntries(DiffLogState& log, const std::u16string& name) {
    for (auto& [procedure, count] : log.open)
        if (procedure == name) return count;
    log.open.emplace_back(name, 0);
    return log.open.back().second;
}

// Creates the default log file empty the first time it is used; a missing file is
// not an error of the log.
void WriteLogFile(DiffLogState& log, std::u16string_view line) {
    if (log.fileName.empty()) {
        log.fileName = kDefaultDiffLog;
        if (std::FILE* f = std::fopen(Utf16ToUtf8(log.fileName).c_str(), "wb")) std::fclose(f);
    }
    std::FILE* f = std::fopen(Utf16ToUtf8(log.fileName).c_str(), "ab");
    if (!f) return;
    const std::string bytes = Utf16ToUtf8(line) + "\r\n";
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fflush(f);
    std::fclose(f);
}

} // namespace

std::u16string_view OpName(int32_t code) {
    if (const FunctionRow* row = FunctionOfNode(code)) return row->logName;
    if (code == kDcPow) return u"^";
    return code >= 0 && code < static_cast<int32_t>(kOpName.size()) ? kOpName[code] : u"";
}

void DiffLog(std::u16string_view name, std::u16string_view text) {
    DiffLogState& log = Diff().log;
    if (log.mode == 0) return;
    ++log.lineCount;
    // A line that is only counted is not formed, and leaves the indentation and the
    // figures, which only written lines show, as they are.
    if (!DiffLogWrites()) return;
    const std::u16string procedure = WithoutPrefixTDF(name);
    const bool entry = text.starts_with(u"IN_");
    const bool exit = text.starts_with(u"OUT");
    int32_t& open = OpenEntries(log, procedure);
    if (entry) {
        log.indent += u' ';
        ++open;
    }
    const std::u16string line =
        Cat(log.lineCount, u": (", open, u") ", log.indent, procedure, u", ", text);
    if (log.mode == 1)
        WriteLogFile(log, line);
    else
        ShowMessageBox(procedure, line, ZORBIT_MB_OK, ZORBIT_ID_OK);
    // A procedure may log an exit and go on (GetTreeExpr on an unexpected token), so
    // neither the indentation nor the count goes below nothing.
    if (exit) {
        if (!log.indent.empty()) log.indent.erase(0, 1);
        if (open > 0) --open;
    }
}

void DumpNodes(std::u16string_view name, int32_t last) {
    if (!DiffLogOn()) return;
    const DiffState& d = Diff();
    last = std::min(last, static_cast<int32_t>(d.t.size()) - 1);
    for (int32_t i = 1; i <= last; ++i) {
        const DiffNode& n = d.t[i];
        DiffLogIf(name, [&] {
            return Cat(u"index=", i, u", \\l=", n.l, u", \\r=", n.r, u", \\opCode=", n.opCode,
                       u", op=", OpName(n.opCode), u", \\con=", n.con);
        });
    }
}

int32_t SetDiffLogMode(int8_t mode, std::u16string_view fileName) {
    DiffLogState& log = Diff().log;
    log.mode = mode;
    log.fileName = fileName;
    return mode;
}

} // namespace zorbit
