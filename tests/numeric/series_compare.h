#pragma once
// The two routes of a formula over many x, run from the same engine state and compared:
// the compiled route (FormulaSeries::At, EvalSeries) against text substitution alone.
// Shared by the series tests and the series fuzz target; no test framework here.

#include <algorithm>
#include <bit>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/errors.h"
#include "engine/evaluator.h"
#include "engine/functions.h"
#include "engine/state.h"
#include "engine/variables.h"
#include "numeric/series.h"

namespace zorbit::test {

// Everything a point may change that a caller could observe.
struct EngineSnapshot {
    int32_t error = 0;
    std::u16string msgs, lastInfo, debugLog, expr, tok, vars;
    size_t pos = 0, tokStart = 0, textOffset = 0, textLength = 0;
    int tokType = 0, kw = 0, fn = 0;
    bool replaced = false, fnKnown = false, inEvaluation = false;
    uint64_t number = 0, rng = 0;
    int32_t runCount = 0, resultType = 0, prsDepth = 0, nxtDepth = 0;

    bool operator==(const EngineSnapshot&) const = default;
};

inline EngineSnapshot Snapshot() {
    const EngineState& e = Engine();
    const ParserState& ps = e.parser;
    EngineSnapshot s;
    s.error = e.errors.e_error;
    s.msgs = e.errors.ErrMsgs;
    s.lastInfo = e.errors.LastErrInfo;
    s.debugLog = e.errors.DebugLog;
    s.expr = ps.e_expr;
    s.tok = ps.e_tok;
    s.vars = e.vars.VarList;
    s.pos = ps.pos;
    s.tokStart = ps.tokStart;
    s.textOffset = ps.text.empty() ? 0 : static_cast<size_t>(ps.text.data() - ps.e_expr.data());
    s.textLength = ps.text.size();
    s.tokType = static_cast<int>(ps.type);
    s.kw = static_cast<int>(ps.kw);
    s.fn = ps.fn;
    s.replaced = ps.replaced;
    s.fnKnown = ps.fnKnown;
    s.inEvaluation = e.eval.InEvaluation;
    s.number = std::bit_cast<uint64_t>(ps.number);
    s.rng = e.rngState;
    s.runCount = ps.RunCount;
    s.resultType = e.eval.ResultType;
    s.prsDepth = ps.prsDepth;
    s.nxtDepth = ps.nxtDepth;
    return s;
}

inline std::string Ascii(std::u16string_view s) {
    std::string out;
    for (char16_t c : s)
        out.push_back(c < 128 ? static_cast<char>(c) : '?');
    return out;
}

inline std::string Differences(const EngineSnapshot& a, const EngineSnapshot& b) {
    std::string d;
    const auto text = [&](const char* name, const std::u16string& x, const std::u16string& y) {
        if (x != y) d += std::string(name) + ": '" + Ascii(x) + "' vs '" + Ascii(y) + "'\n";
    };
    const auto num = [&](const char* name, long long x, long long y) {
        if (x != y)
            d += std::string(name) + ": " + std::to_string(x) + " vs " + std::to_string(y) + "\n";
    };
    num("e_error", a.error, b.error);
    text("ErrMsgs", a.msgs, b.msgs);
    text("LastErrInfo", a.lastInfo, b.lastInfo);
    text("DebugLog", a.debugLog, b.debugLog);
    text("e_expr", a.expr, b.expr);
    text("e_tok", a.tok, b.tok);
    text("VarList", a.vars, b.vars);
    num("pos", static_cast<long long>(a.pos), static_cast<long long>(b.pos));
    num("tokStart", static_cast<long long>(a.tokStart), static_cast<long long>(b.tokStart));
    num("text offset", static_cast<long long>(a.textOffset), static_cast<long long>(b.textOffset));
    num("text length", static_cast<long long>(a.textLength), static_cast<long long>(b.textLength));
    num("type", a.tokType, b.tokType);
    num("kw", a.kw, b.kw);
    num("fn", a.fn, b.fn);
    num("replaced", a.replaced, b.replaced);
    num("fnKnown", a.fnKnown, b.fnKnown);
    num("InEvaluation", a.inEvaluation, b.inEvaluation);
    num("number bits", static_cast<long long>(a.number), static_cast<long long>(b.number));
    num("rng", static_cast<long long>(a.rng), static_cast<long long>(b.rng));
    num("RunCount", a.runCount, b.runCount);
    num("ResultType", a.resultType, b.resultType);
    num("prsDepth", a.prsDepth, b.prsDepth);
    num("nxtDepth", a.nxtDepth, b.nxtDepth);
    return d;
}

struct RouteComparison {
    std::string difference; // empty when the routes agree
    bool compiled = false;
    size_t fallbacks = 0; // points of the compiled formula that went by text
};

// Each point by At and by TextAt, from the same state (`setup` makes it): code, the bits
// of y, e_error and the records after every point, and the whole state after Settle.
inline RouteComparison CompareRoutes(const std::function<void()>& setup,
                                     std::u16string_view formula, std::u16string_view var,
                                     int decimals, const std::vector<double>& xs) {
    RouteComparison result;
    struct Point {
        int32_t code;
        uint64_t y;
        int32_t error;
        size_t msgsLength;
        std::u16string lastInfo;
    };
    std::vector<Point> byProgram, byText;
    setup();
    {
        FormulaSeries series(formula, var, XTextRule(decimals));
        result.compiled = series.Compiled();
        for (double x : xs) {
            double y = 0.25;
            const int32_t code = series.At(x, &y);
            byProgram.push_back({code, std::bit_cast<uint64_t>(y), Engine().errors.e_error,
                                 Engine().errors.ErrMsgs.size(), Engine().errors.LastErrInfo});
        }
        series.Settle();
        if (result.compiled) result.fallbacks = series.TextPoints();
    }
    const EngineSnapshot afterProgram = Snapshot();
    setup();
    {
        FormulaSeries series(formula, var, XTextRule(decimals), FormulaSeries::Route::Text);
        for (double x : xs) {
            double y = 0.25;
            const int32_t code = series.TextAt(x, &y);
            byText.push_back({code, std::bit_cast<uint64_t>(y), Engine().errors.e_error,
                              Engine().errors.ErrMsgs.size(), Engine().errors.LastErrInfo});
        }
    }
    const EngineSnapshot afterText = Snapshot();
    for (size_t i = 0; i < xs.size(); ++i) {
        const Point& a = byProgram[i];
        const Point& b = byText[i];
        if (a.code != b.code || a.y != b.y || a.error != b.error || a.msgsLength != b.msgsLength ||
            a.lastInfo != b.lastInfo) {
            result.difference =
                "point " + std::to_string(i) + " x=" + std::to_string(xs[i]) + ": code " +
                std::to_string(a.code) + " vs " + std::to_string(b.code) + ", y " +
                std::to_string(std::bit_cast<double>(a.y)) + " vs " +
                std::to_string(std::bit_cast<double>(b.y)) + ", e_error " +
                std::to_string(a.error) + " vs " + std::to_string(b.error) + ", records " +
                std::to_string(a.msgsLength) + " vs " + std::to_string(b.msgsLength);
            return result;
        }
    }
    result.difference = Differences(afterProgram, afterText);
    return result;
}

// EvalSeries against its text route from the same state: the arrays bit for bit, the code
// and the whole engine state afterwards.
inline std::string CompareSeries(const std::function<void()>& setup, std::u16string_view formula,
                                 std::u16string_view var, double from, double to, int32_t steps) {
    const size_t n = static_cast<size_t>(std::max(steps, 0)) + 1;
    std::vector<double> xa(n, 7), ya(n, 7), xb(n, 7), yb(n, 7);
    double la[5] = {7, 7, 7, 7, 7}, lb[5] = {7, 7, 7, 7, 7};
    setup();
    const int32_t ca = EvalSeries(formula, from, var, to, steps, xa.data(), ya.data(), la);
    const EngineSnapshot sa = Snapshot();
    setup();
    const int32_t cb = EvalSeries(formula, from, var, to, steps, xb.data(), yb.data(), lb, nullptr,
                                  FormulaSeries::Route::Text);
    const EngineSnapshot sb = Snapshot();
    const auto bits = [](const double* p, size_t k) {
        std::vector<uint64_t> v(k);
        for (size_t i = 0; i < k; ++i)
            v[i] = std::bit_cast<uint64_t>(p[i]);
        return v;
    };
    std::string d;
    if (ca != cb) d += "code " + std::to_string(ca) + " vs " + std::to_string(cb) + "\n";
    if (bits(xa.data(), n) != bits(xb.data(), n)) d += "xs differ\n";
    if (bits(ya.data(), n) != bits(yb.data(), n)) d += "ys differ\n";
    if (bits(la, 5) != bits(lb, 5)) d += "limits differ\n";
    return d + Differences(sa, sb);
}

// formula with every whole, case-sensitive var replaced by xText.
inline std::u16string Substituted(std::u16string_view formula, std::u16string_view var,
                                  std::u16string_view xText) {
    std::u16string text;
    size_t from = 0;
    for (size_t p = FindWholeName(formula, var, 0, false); p != std::u16string_view::npos;
         p = FindWholeName(formula, var, from, false)) {
        text.append(formula, from, p - from).append(xText);
        from = p + var.size();
    }
    text.append(formula, from);
    return text;
}

// e_eval of text three times, the third by the reused program, against three readings
// with nothing to reuse, each after GetConst leaves traces in the parser state: codes,
// value bits, records and the whole state after each. *reused tells whether a program
// was there to reuse.
inline std::string CompareReuse(const std::function<void()>& setup, std::u16string_view text,
                                bool* reused = nullptr) {
    struct Reading {
        int32_t code;
        uint64_t value;
        EngineSnapshot state;
    };
    const auto readThrice = [&](bool reuse) {
        setup();
        std::vector<Reading> out;
        for (int k = 0; k < 3; ++k) {
            if (!reuse) Engine().reused = ReusedProgram{};
            double v = 0.25;
            GetConst(u"pi", &v);
            const int32_t code = EvalExpression(text, &v, true);
            out.push_back({code, std::bit_cast<uint64_t>(v), Snapshot()});
        }
        return out;
    };
    const std::vector<Reading> a = readThrice(true);
    if (reused) *reused = Engine().reused.program != nullptr;
    const std::vector<Reading> b = readThrice(false);
    std::string d;
    for (size_t k = 0; k < 3; ++k) {
        const std::string reading = "reading " + std::to_string(k) + ": ";
        if (a[k].code != b[k].code || a[k].value != b[k].value)
            d += reading + "code " + std::to_string(a[k].code) + " vs " +
                 std::to_string(b[k].code) + ", value " +
                 std::to_string(std::bit_cast<double>(a[k].value)) + " vs " +
                 std::to_string(std::bit_cast<double>(b[k].value)) + "\n";
        const std::string state = Differences(a[k].state, b[k].state);
        if (!state.empty()) d += reading + state;
    }
    return d;
}

} // namespace zorbit::test
