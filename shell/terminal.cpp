#include "shell/terminal.h"

#include <new>

#include "common/text.h"
#include "shell/entry.h"

namespace vex {

namespace {

constexpr const char* kOutOfMemory = "vexcalc: out of memory; the run ends\n";

class LineRunner {
  public:
    LineRunner(ScriptHost& host, const std::vector<std::u16string>& keywords, std::ostream& out,
               std::ostream& err)
        : host_(host), keywords_(keywords), out_(out), err_(err) {}

    // One line (its line end already gone); false when the run must end.
    bool Run(std::string_view line, bool tooLong) {
        ++lineNo_;
        if (tooLong) {
            err_ << "vexcalc: line " << lineNo_ << " is longer than " << kMaxEntryLine
                 << " bytes; it was not run\n";
            failed_ = true;
            return true;
        }
        const EntryResult r = RunEntryLine(host_, keywords_, zorbit::Utf8ToUtf16(line));
        if (r.outOfMemory) return false;
        for (const EntryRow& row : r.rows)
            out_ << zorbit::Utf16ToUtf8(row.text) << '\n';
        out_.flush();
        failed_ = failed_ || r.error;
        return true;
    }
    int Status() const { return failed_ ? 1 : 0; }
    int OutOfMemory() const {
        out_.flush();
        err_ << kOutOfMemory;
        return 1;
    }

  private:
    ScriptHost& host_;
    const std::vector<std::u16string>& keywords_;
    std::ostream& out_;
    std::ostream& err_;
    size_t lineNo_ = 0;
    bool failed_ = false;
};

// One line of in without its line end (LF, CR LF or a lone CR); the bytes past
// kMaxEntryLine are read and dropped, so no input can exhaust memory. afterCr carries
// over a line that ended at CR, so the LF of a CR LF pair ends nothing more; it is
// never waited for, so a terminal's line runs when its CR arrives. False at the end
// of the input.
bool ReadBoundedLine(std::istream& in, std::string& line, bool& tooLong, bool& afterCr) {
    line.clear();
    tooLong = false;
    std::streambuf* buf = in.rdbuf();
    bool any = false;
    for (;;) {
        const auto c = buf->sbumpc();
        if (c == std::char_traits<char>::eof()) return any;
        const bool pairEnd = afterCr && !any && c == '\n';
        afterCr = c == '\r';
        if (pairEnd) continue;
        any = true;
        if (c == '\n' || c == '\r') return true;
        if (line.size() < kMaxEntryLine + 1)
            line.push_back(static_cast<char>(c));
        else
            tooLong = true;
    }
}

} // namespace

int RunEntryText(ScriptHost& host, const std::vector<std::u16string>& keywords,
                 std::string_view text, std::ostream& out, std::ostream& err) {
    LineRunner runner(host, keywords, out, err);
    try {
        size_t start = 0;
        for (;;) {
            const size_t end = text.find_first_of("\r\n", start);
            const std::string_view line = text.substr(start, end - start);
            if (!runner.Run(line, line.size() > kMaxEntryLine)) return runner.OutOfMemory();
            if (end == text.npos) break;
            start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
        }
    } catch (const std::bad_alloc&) {
        return runner.OutOfMemory();
    }
    return runner.Status();
}

int RunEntryStream(ScriptHost& host, const std::vector<std::u16string>& keywords, std::istream& in,
                   std::ostream& out, std::ostream& err) {
    LineRunner runner(host, keywords, out, err);
    try {
        std::string line;
        bool tooLong = false;
        bool afterCr = false;
        while (ReadBoundedLine(in, line, tooLong, afterCr)) {
            if (!runner.Run(line, tooLong || line.size() > kMaxEntryLine))
                return runner.OutOfMemory();
        }
    } catch (const std::bad_alloc&) {
        return runner.OutOfMemory();
    }
    return runner.Status();
}

void PrintBatchNotes(const BatchSettings& batch, std::ostream& err) {
    if (!batch.ignoredSwitches.empty()) {
        err << "vexcalc: unknown switches ignored:";
        for (const std::u16string& s : batch.ignoredSwitches)
            err << " /" << zorbit::Utf16ToUtf8(s);
        err << '\n';
    }
    const bool fromFile = batch.InputFileF || !batch.getFromSelTextF;
    if (fromFile && !batch.outputReplaced.empty())
        err << "vexcalc: the output name \"" << zorbit::Utf16ToUtf8(batch.outputReplaced)
            << "\" names a folder; the report goes to \"" << zorbit::Utf16ToUtf8(batch.OutpFN)
            << "\" instead\n";
}

} // namespace vex
