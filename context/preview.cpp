#include "context/preview.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <unordered_map>
#include <vector>

#include "context/context.h"
#include "engine/errors.h"
#include "engine/evaluator.h"

namespace zorbit {

namespace {

// The engine's state kept whole across the evaluation. The parser's token text is a view
// into its expression, so it is placed again in the copy put back.
class SavedEngine {
  public:
    explicit SavedEngine(EngineState& e) : e_(e), saved_(e) {
        const ParserState& ps = e.parser;
        const char16_t* from = ps.e_expr.data();
        if (!ps.text.empty() && ps.text.data() >= from &&
            ps.text.data() + ps.text.size() <= from + ps.e_expr.size())
            textAt_ = static_cast<size_t>(ps.text.data() - from);
    }
    ~SavedEngine() {
        e_ = std::move(saved_);
        ParserState& ps = e_.parser;
        if (textAt_ != std::u16string::npos)
            ps.text = std::u16string_view(ps.e_expr).substr(textAt_, ps.text.size());
    }
    SavedEngine(const SavedEngine&) = delete;
    SavedEngine& operator=(const SavedEngine&) = delete;

  private:
    EngineState& e_;
    EngineState saved_;
    size_t textAt_ = std::u16string::npos;
};

// The matrix list kept as it is: the scratch entries that were there are no scratch while
// the evaluation runs (so that its clean-up leaves them), and what it added goes after.
class SavedMatrices {
  public:
    explicit SavedMatrices(MatrixStore& m) : m_(m), current_(m.current), listText_(m.listText) {
        scratch_.reserve(m.arrList.size());
        for (MatrixEntry& entry : m.arrList) {
            scratch_.emplace(entry.handle, entry.Internal);
            entry.Internal = false;
        }
    }
    ~SavedMatrices() {
        std::vector<MatrixEntry>& list = m_.arrList;
        std::erase_if(list, [this](const MatrixEntry& entry) {
            return scratch_.find(entry.handle) == scratch_.end();
        });
        for (MatrixEntry& entry : list)
            entry.Internal = scratch_[entry.handle];
        m_.current = current_;
        m_.listText = std::move(listText_);
    }
    SavedMatrices(const SavedMatrices&) = delete;
    SavedMatrices& operator=(const SavedMatrices&) = delete;

  private:
    MatrixStore& m_;
    std::unordered_map<uint64_t, bool> scratch_; // each entry's handle: was it scratch
    size_t current_;
    std::u16string listText_;
};

// The host's services silenced and the message writer kept, also when the evaluation
// ends in an exception (the export's guard reports it).
class SilentHost {
  public:
    explicit SilentHost(Context& c) : c_(c), writer_(c.writer) { c.host.silent = true; }
    ~SilentHost() {
        c_.host.silent = false;
        c_.writer = std::move(writer_);
    }
    SilentHost(const SilentHost&) = delete;
    SilentHost& operator=(const SilentHost&) = delete;

  private:
    Context& c_;
    MessageWriterState writer_;
};

void CopyMessage(std::u16string_view text, ZorbitPreview* out) {
    constexpr size_t room = sizeof(out->message) / sizeof(out->message[0]) - 1;
    const size_t n = std::min(text.size(), room);
    std::copy_n(text.data(), n, out->message);
    out->message[n] = 0;
}

} // namespace

int32_t PreviewExpression(std::u16string_view expr, int64_t workLimit, ZorbitPreview* out) {
    Context& c = TheContext();
    *out = ZorbitPreview{};
    out->error = ZORBIT_NO_ERROR;
    out->errorPos = -1;
    int32_t code = 0;
    {
        // Restored in reverse order: the matrices (whose clean-up reads the engine's
        // settings) before the engine.
        const SavedEngine engine(c.engine);
        const SilentHost silent(c);
        const SavedMatrices matrices(c.matrices);
        EngineState& e = c.engine;
        e.eval.workLeft = workLimit < 0 ? -1 : workLimit;
        e.reused.enabled = false;
        e.errors.DebugMode = 1; // silent: no log grows
        e.errors.MsgFlags = 0;
        double value = 0;
        code = EvalExpression(expr, &value, true);
        out->error = E_Error();
        if (out->error == ZORBIT_NO_ERROR) {
            if (code == 0) out->value = value;
            if (code == 1) {
                out->rows = e.eval.ResultRows;
                out->cols = e.eval.ResultCols;
            }
        } else {
            code = out->error;
            out->cutOff = e.eval.workLeft == 0 && code == ZORBIT_E_UNDEFINED ? 1 : 0;
            out->errorPos = e.errors.errorPos;
            CopyMessage(ErrorDescription(code), out);
        }
    }
    return code;
}

int32_t SetLastAnswer(double value, bool set) {
    EvalState& ev = Engine().eval;
    if (set && !std::isfinite(value)) {
        E_Error() = ZORBIT_E_INVALID_ARGUMENT;
        ReportError(u"SetLastAnswer", 0, u"The answer is not a finite number\r\n");
        return ZORBIT_E_INVALID_ARGUMENT;
    }
    ev.hasAnswer = set;
    ev.answer = set ? value : 0;
    ++ev.answerChanges;
    return ZORBIT_NO_ERROR;
}

bool GetLastAnswer(double* value) {
    const EvalState& ev = Engine().eval;
    if (ev.hasAnswer && value) *value = ev.answer;
    return ev.hasAnswer;
}

} // namespace zorbit
