#pragma once
// One formula evaluated for many values of one variable. The library defines the result
// by text: every whole, case-sensitive occurrence of the variable becomes "(" + x text
// + ")" and the text goes through e_eval. A formula whose successful points a program
// can reproduce bit for bit is compiled once; a point the program cannot finish (an
// error, NaN, an x without a short text), and every point of a formula it does not
// cover, goes through the text itself.

#include <cmath>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "common/number_text.h"

namespace zorbit {

class CompiledFormula;

// How x is written into the text: fixed-point with `decimals` decimals (0 to 22), the
// zeros after the point trimmed as StrD0 trims them; or, for kRoundTrip (Full precision),
// the shortest fixed-point text that reads back as x itself.
class XTextRule {
  public:
    static constexpr int kRoundTrip = -1;
    explicit XTextRule(int decimals);
    // The rule of the engine's precision mode: `decimals` in Classic, kRoundTrip in Full.
    static XTextRule ForMode(int decimals);
    int Decimals() const { return decimals_; }
    bool RoundTrip() const { return roundTrip_; }
    // Replaces text with the text of x.
    void Write(std::u16string& text, double x) const {
        if (roundTrip_) {
            text = RoundTripText(x);
            return;
        }
        text.clear();
        AppendFixedN(text, x, decimals_);
        TrimFixedInPlace(text);
    }
    // The number the evaluator reads back from "(" + Write(x) + ")"; false for an x
    // whose text is longer than a compiled point allows (non-finite, 1e15 or more, or in
    // the round-trip rule a text beyond the slot).
    bool ValueOf(double x, double* value) const {
        if (roundTrip_) {
            // Below 1e15 and from 1e-5 on (or 0) the text has at most 25 characters.
            const double a = std::fabs(x);
            if (a < 1e15 && (a >= 1e-5 || a == 0)) {
                *value = x;
                return true;
            }
            return ValueOtherwise(x, value);
        }
        // Below identity_, p = x·10^decimals is under 2^53 and off the exact product by
        // at most |p|·2^-53. Unless the exact product lies near a half, its nearest
        // integer r is the decimal text's digits, and r / 10^decimals the correctly
        // rounded reading of that text.
        if (std::fabs(x) < fastLimit_) {
            const double p = x * scale_;
            const double ap = std::fabs(p);
            const double r = ap < 0x1p52 ? std::copysign((ap + 0x1p52) - 0x1p52, p) : p;
            if (std::fabs(p - r) + ap * 0x1p-53 < 0.5 - 0x1p-20) {
                *value = r / scale_;
                return true;
            }
        }
        return ValueOtherwise(x, value);
    }
    // The same by writing the text and reading it back; ValueOf's reference.
    bool ValueByText(double x, double* value) const;

  private:
    // ValueOf for large or non-finite x and near a half.
    bool ValueOtherwise(double x, double* value) const;

    int decimals_;
    bool roundTrip_ = false;
    double scale_;     // 10^decimals, exact
    double identity_;  // from here on the text reads back as x itself
    double fastLimit_; // below it ValueOf computes the value inline
};

class FormulaSeries {
  public:
    // Route::Text reads the text at every point, reusing no program: the reference the
    // other routes are measured against.
    enum class Route : uint8_t { Fastest, Text };
    FormulaSeries(std::u16string_view formula, std::u16string_view var, XTextRule rule,
                  Route route = Route::Fastest);
    ~FormulaSeries();
    FormulaSeries(const FormulaSeries&) = delete;
    FormulaSeries& operator=(const FormulaSeries&) = delete;

    // e_eval of the formula at x: 0 with the number in *y, 1 with a matrix handle, or the
    // error code (*y unchanged). The engine state after a point is the text route's, but
    // for the parser's position and tokens, which Settle puts right.
    int32_t At(double x, double* y);
    // At at n <= kMaxBlock consecutive points of a run, the program running over all of
    // them at once where it can. y carries the last value from point to point (At leaves
    // it unchanged on an error); ys[i] and codes[i] get each point's value and code.
    static constexpr size_t kMaxBlock = 256;
    void AtBlock(const double* xs, size_t n, double* y, double* ys, int32_t* codes);
    // Points follow one another with no other engine call in between, up to Settle: the
    // error records are set aside once for all of them rather than at every point.
    void BeginRun();
    // Leaves the parser state as the text route leaves it after the last point, and ends
    // a run. Call it after the last point, before anything reads or records that state.
    void Settle();
    // The text route alone, for comparison.
    int32_t TextAt(double x, double* y);
    // Whether the formula is compiled (compiles it if no point was asked yet).
    bool Compiled();
    // Points At passed to the text route: all of them when the formula is not compiled.
    size_t TextPoints() const { return textPoints_; }

    // Variables, custom functions, TrueValue and the debug mode must not change between
    // the first and the last point: the program is built from them once.

  private:
    void Prepare();
    void SetAside(bool aside) {
        if (aside != aside_) SwapRecords();
    }
    void SwapRecords();
    // At by the program (there is one); false when the point needs the text route.
    bool ByProgram(double x, double* y);
    int32_t ByText(double x, double* y);
    // The state after the program finished `points` points, the last at lastX.
    void ProgramFinished(double lastX, int32_t points, uint64_t rngBefore);
    // Repeats the last point by text when the program computed it: some parser fields
    // carry over from one evaluation to the next, so a text point, or the caller after
    // the last point, must find them as the text route leaves them.
    void CatchUp();

    std::u16string formula_;
    std::u16string var_;
    XTextRule rule_;
    std::vector<std::u16string_view> pieces_; // the text around each occurrence of var
    std::u16string text_, xText_;
    std::unique_ptr<CompiledFormula> program_;
    bool prepared_ = false;
    Route route_;
    bool reuseWas_ = true;
    // The last point, when the program computed it: CatchUp repeats it by text.
    bool lastCompiled_ = false;
    double lastX_ = 0;
    uint64_t rngBeforeLast_ = 0;
    // The engine's error records while a program runs: a failing run leaves records of
    // its own, dropped, and the text route then writes the real ones.
    std::u16string asideMsgs_, asideInfo_;
    bool aside_ = false;
    bool inRun_ = false;
    size_t textPoints_ = 0;
};

// e_evals: steps + 1 points at most into xs/ys, limits gets 5 values; x is written with
// ten decimals (in Full precision exactly). e_evalsEx: codes (when given) gets each point's own
// code, -2 for a point the run never reached.
int32_t EvalSeries(std::u16string_view expr, double xFrom, std::u16string_view varName, double xTo,
                   int32_t steps, double* xs, double* ys, double* limits, int32_t* codes = nullptr,
                   FormulaSeries::Route route = FormulaSeries::Route::Fastest);

} // namespace zorbit
