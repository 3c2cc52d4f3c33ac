#include "numeric/series.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "common/number_text.h"
#include "engine/compiled_formula.h"
#include "engine/errors.h"
#include "engine/evaluator.h"
#include "engine/state.h"
#include "engine/variables.h"

namespace zorbit {

namespace {

// Decimals up to which 10^decimals is an exact double and ValueOf computes the value.
constexpr int kMaxComputedDecimals = 22;
// A compiled point's x text stays shorter than the template's slot.
constexpr double kMaxComputedX = 1e15;
constexpr size_t kMaxXText = 39;

} // namespace

XTextRule::XTextRule(int decimals)
    : decimals_(std::clamp(decimals, 0, 30)), roundTrip_(decimals == kRoundTrip), scale_(1),
      identity_(0), fastLimit_(0) {
    if (roundTrip_ || decimals_ > kMaxComputedDecimals) return;
    for (int i = 0; i < decimals_; ++i)
        scale_ *= 10;
    // The smallest power of two whose spacing of doubles exceeds 10^-decimals: from there
    // on rounding to the decimals moves x by less than half a spacing, so the text reads
    // back as x.
    int e = -1074;
    while (!(std::ldexp(1.0, e - 52) * scale_ > 1))
        ++e;
    identity_ = std::ldexp(1.0, e);
    fastLimit_ = std::min(identity_, kMaxComputedX);
}

XTextRule XTextRule::ForMode(int decimals) {
    return XTextRule(FullPrecision() ? kRoundTrip : decimals);
}

bool XTextRule::ValueByText(double x, double* value) const {
    std::u16string text;
    Write(text, x);
    // The evaluator reads "(-digits)" as the negation of the number "digits".
    const bool negative = !text.empty() && text[0] == u'-';
    const std::u16string_view digits = std::u16string_view(text).substr(negative ? 1 : 0);
    if (digits.empty()) return false;
    for (char16_t c : digits)
        if (!((c >= u'0' && c <= u'9') || c == u'.')) return false;
    const double v = ParseAsciiNumber(digits);
    *value = negative ? -v : v;
    return true;
}

bool XTextRule::ValueOtherwise(double x, double* value) const {
    if (roundTrip_) {
        if (!std::isfinite(x) || std::fabs(x) >= kMaxComputedX ||
            RoundTripText(x).size() > kMaxXText)
            return false;
        *value = x;
        return true;
    }
    if (decimals_ > kMaxComputedDecimals || !std::isfinite(x) || std::fabs(x) >= kMaxComputedX)
        return false;
    if (std::fabs(x) >= identity_) {
        *value = x;
        return true;
    }
    // Near a half the exact error of the product decides, and at a half the text itself.
    const double p = x * scale_;
    const double ap = std::fabs(p);
    const double r = ap < 0x1p52 ? std::copysign((ap + 0x1p52) - 0x1p52, p) : p;
    if (std::fabs(p - r) + std::fabs(std::fma(x, scale_, -p)) < 0.5 - 0x1p-20) {
        *value = r / scale_;
        return true;
    }
    return ValueByText(x, value);
}

FormulaSeries::FormulaSeries(std::u16string_view formula, std::u16string_view var, XTextRule rule,
                             Route route)
    : formula_(formula), var_(var), rule_(rule), route_(route) {
    if (route_ == Route::Text) {
        prepared_ = true; // no program
        reuseWas_ = Engine().reused.enabled;
        Engine().reused.enabled = false;
    }
    const std::u16string_view f = formula_;
    size_t from = 0;
    for (size_t p = FindWholeName(f, var_, 0, false); p != std::u16string_view::npos;
         p = FindWholeName(f, var_, from, false)) {
        pieces_.push_back(f.substr(from, p - from));
        from = p + var_.size();
    }
    pieces_.push_back(f.substr(from));
}

FormulaSeries::~FormulaSeries() {
    SetAside(false);
    if (route_ == Route::Text) Engine().reused.enabled = reuseWas_;
}

void FormulaSeries::SwapRecords() {
    ErrorState& es = Engine().errors;
    std::swap(es.ErrMsgs, asideMsgs_);
    std::swap(es.LastErrInfo, asideInfo_);
    aside_ = !aside_;
    if (!aside_) {
        asideMsgs_.clear();
        asideInfo_.clear();
    }
}

void FormulaSeries::BeginRun() {
    inRun_ = true;
}

void FormulaSeries::Prepare() {
    prepared_ = true;
    program_ = CompiledFormula::Compile(formula_, var_);
}

bool FormulaSeries::Compiled() {
    if (!prepared_) Prepare();
    return program_ != nullptr;
}

int32_t FormulaSeries::TextAt(double x, double* y) {
    rule_.Write(xText_, x);
    text_.clear();
    for (size_t k = 0; k < pieces_.size(); ++k) {
        if (k) {
            text_ += u'(';
            text_ += xText_;
            text_ += u')';
        }
        text_ += pieces_[k];
    }
    return EvalExpression(text_, y, false);
}

inline bool FormulaSeries::ByProgram(double x, double* y) {
    double xv = 0;
    if (DebugLogOn() || !rule_.ValueOf(x, &xv)) return false;
    EngineState& e = Engine();
    const uint64_t rng = e.rngState;
    e.errors.e_error = ZORBIT_NO_ERROR;
    double v = 0;
    bool ok;
    if (program_->CallsFunctions()) {
        SetAside(true);
        ok = program_->Run(xv, &v) && e.errors.e_error == ZORBIT_NO_ERROR;
        if (!inRun_) SetAside(false);
    } else {
        ok = program_->Run(xv, &v);
    }
    if (!ok) {
        e.rngState = rng; // the text route repeats the point from the same state
        return false;
    }
    *y = v;
    ProgramFinished(x, 1, rng);
    return true;
}

void FormulaSeries::ProgramFinished(double lastX, int32_t points, uint64_t rngBefore) {
    EngineState& e = Engine();
    e.errors.e_error = ZORBIT_NO_ERROR;
    e.parser.RunCount += points;
    lastCompiled_ = true;
    lastX_ = lastX;
    rngBeforeLast_ = rngBefore;
}

int32_t FormulaSeries::At(double x, double* y) {
    if (!prepared_) Prepare();
    if (!program_) {
        ++textPoints_;
        return TextAt(x, y);
    }
    return ByProgram(x, y) ? 0 : ByText(x, y);
}

void FormulaSeries::AtBlock(const double* xs, size_t n, double* y, double* ys, int32_t* codes) {
    static_assert(kMaxBlock == CompiledFormula::kBlock);
    if (!prepared_) Prepare();
    double xv[kMaxBlock], v[kMaxBlock];
    bool bad[kMaxBlock];
    const bool block = program_ && program_->RunsInBlocks() && !DebugLogOn() && n <= kMaxBlock;
    if (block) {
        bool noText[kMaxBlock];
        for (size_t i = 0; i < n; ++i) {
            noText[i] = !rule_.ValueOf(xs[i], &xv[i]);
            if (noText[i]) xv[i] = 0;
        }
        EngineState& e = Engine();
        e.errors.e_error = ZORBIT_NO_ERROR;
        if (program_->CallsFunctions()) SetAside(true);
        program_->RunBlock(xv, v, bad, n);
        if (!inRun_) SetAside(false);
        for (size_t i = 0; i < n; ++i)
            bad[i] |= noText[i];
    }
    EngineState& e = Engine();
    size_t done = 0;
    if (block) {
        // The points the program finished before the first it did not, as ByProgram
        // leaves them.
        while (done < n && !bad[done])
            ++done;
        if (done > 0) {
            std::copy(v, v + done, ys);
            std::fill(codes, codes + done, ZORBIT_NO_ERROR);
            *y = v[done - 1];
            // A program that runs in blocks draws no random numbers.
            ProgramFinished(xs[done - 1], static_cast<int32_t>(done), e.rngState);
        }
    }
    for (size_t i = done; i < n; ++i) {
        if (block && !bad[i]) {
            *y = v[i];
            ProgramFinished(xs[i], 1, e.rngState);
        } else {
            At(xs[i], y);
        }
        ys[i] = *y;
        codes[i] = e.errors.e_error;
    }
}

int32_t FormulaSeries::ByText(double x, double* y) {
    ++textPoints_;
    SetAside(false);
    CatchUp();
    return TextAt(x, y);
}

void FormulaSeries::CatchUp() {
    if (!lastCompiled_) return;
    lastCompiled_ = false;
    EngineState& e = Engine();
    const uint64_t rngAfter = e.rngState;
    const int32_t runCount = e.parser.RunCount;
    e.rngState = rngBeforeLast_;
    double y = 0;
    TextAt(lastX_, &y);
    e.parser.RunCount = runCount;
    e.rngState = rngAfter;
}

void FormulaSeries::Settle() {
    inRun_ = false;
    SetAside(false);
    CatchUp();
}

int32_t EvalSeries(std::u16string_view expr, double xFrom, std::u16string_view varName, double xTo,
                   int32_t steps, double* xs, double* ys, double* limits, int32_t* codes,
                   FormulaSeries::Route route) {
    if (steps < 1) {
        E_Error() = ZORBIT_E_INVALID_ARGUMENT;
        ReportError(u"e_evals", 0, u"Steps must be at least 1\r\n");
        return ZORBIT_E_INVALID_ARGUMENT;
    }
    const double step = (xTo - xFrom) / steps;
    FormulaSeries formula(expr, varName, XTextRule::ForMode(10), route);
    formula.BeginRun();
    double L[5] = {0, 0, 0, 0, 0};
    const size_t count = static_cast<size_t>(steps) + 1;
    size_t i = 0;
    double x = xFrom;
    double y = 0;
    int32_t last = ZORBIT_NO_ERROR;
    double bx[FormulaSeries::kMaxBlock], by[FormulaSeries::kMaxBlock];
    int32_t bc[FormulaSeries::kMaxBlock];
    bool more = i < count && x <= xTo;
    while (more) {
        // The next points, x advancing as the points follow one another.
        size_t n = 0;
        while (more && n < FormulaSeries::kMaxBlock) {
            bx[n++] = x;
            if (step == 0) { // one point when the range is empty
                more = false;
                break;
            }
            x += step;
            more = i + n < count && x <= xTo;
        }
        formula.AtBlock(bx, n, &y, by, bc);
        for (size_t k = 0; k < n; ++k, ++i) {
            last = bc[k];
            if (last == ZORBIT_NO_ERROR) {
                if (i == 0) {
                    L[1] = L[3] = xFrom;
                    L[2] = L[4] = by[k];
                } else {
                    L[1] = std::min(L[1], bx[k]);
                    L[2] = std::min(L[2], by[k]);
                    L[3] = std::max(L[3], bx[k]);
                    L[4] = std::max(L[4], by[k]);
                }
            }
            if (xs) xs[i] = bx[k];
            if (ys) ys[i] = by[k];
            if (codes) codes[i] = last;
        }
    }
    formula.Settle();
    for (; i < count; ++i) {
        if (xs) xs[i] = 0;
        if (ys) ys[i] = 0;
        if (codes) codes[i] = ZORBIT_NOT_REACHED;
    }
    if (limits)
        for (int k = 0; k < 5; ++k)
            limits[k] = L[k];
    if (last != ZORBIT_NO_ERROR) {
        E_Error() = last;
        ReportError(u"e_evals", 0, u"");
        return last;
    }
    return ZORBIT_NO_ERROR;
}

} // namespace zorbit
