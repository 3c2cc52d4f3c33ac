// A random formula over a few x values by the compiled route and by text substitution
// alone, from the same engine state; any difference in a value's bits, a code, an error
// record or the engine state afterwards aborts.
//
// Byte 0: bit 0 x written with 17 decimals (else 10), bit 1 the formula as raw characters
// (else as tokens from the table below), bits 2-5 the engine setting, bits 6-7 with bit 4
// of byte 1 the variable's name. Byte 1: low nibble the number of x values read as 8 raw
// bytes each, next; bits 4-6 the steps of e_evals; bit 7 Full precision (x then written
// exactly, whatever bit 0 says). The rest is the formula.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "context/context.h"
#include "engine/evaluator.h"
#include "engine/state.h"
#include "engine/variables.h"
#include "matrix/matrix_expr.h"
#include "tests/numeric/series_compare.h"

using namespace zorbit;

namespace {

constexpr const char16_t* kTokens[] = {
    u"x",    u"x",     u"x",        u"X",      u"xx",     u"y",     u"1",    u"0",     u"2.5",
    u".5",   u"3",     u"(",        u"(",      u")",      u")",     u"+",    u"-",     u"-",
    u"*",    u"/",     u"^",        u"\\",     u" mod ",  u" and ", u" or ", u" xor ", u" not ",
    u"=",    u"<",     u">",        u"<=",     u">=",     u"<>",    u">>",   u"sin(",  u"cos(",
    u"ln(",  u"sqrt(", u"arcsin(",  u"cotan(", u"rnd(",   u"exp(",  u"int(", u"fix(",  u"abs(",
    u"sgn(", u"tan(",  u"arccosh(", u"sech(",  u"log10(", u"pi",    u"#pi",  u"e",     u"&F",
    u"!101", u",",     u"f",        u"g",      u"max(",   u";",     u"[mA]", u" ",     u"10^",
    u"eqv",  u"foo",   u"2pi",      u"1e5",    u"#",      u"&",     u"!",    u"#e",    u"to_rad",
    u"t",    u"$x",    u"x1",       u"sin",
};
constexpr size_t kTokenCount = sizeof kTokens / sizeof kTokens[0];
constexpr size_t kMaxFormulaLength = 4000;

void StartIn(unsigned setting, int32_t mode) {
    ResetContext();
    SetPrecisionMode(mode);
    Engine().rngState = 0x2545F4914F6CDD1Dull;
    if (setting & 1) {
        SetVarFunct(u"x", u"1.5", 0);
        SetVarFunct(u"xx", u"-2", 0);
        SetVarFunct(u"y", u"0.125", 0);
    }
    if (setting & 2) {
        SetVarFunct(u"g", u"sin(x)*f", 1);
        SetVarFunct(u"f", u"x^2+1", 1);
    }
    if (setting & 4) SetBoolSign(1);
    if (setting & 8) {
        Engine().errors.DebugMode = 4; // the debug log: every point by text
        Engine().errors.MsgFlags = 1;
    }
}

constexpr const char16_t* kVariables[] = {u"x", u"t", u"X", u"$x", u"e", u"sin", u"", u"x1"};

void Fail(const std::u16string& formula, const std::string& what) {
    std::fprintf(stderr, "routes differ for '%s':\n%s\n", test::Ascii(formula).c_str(),
                 what.c_str());
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const bool full = (data[1] & 0x80) != 0;
    const int decimals = full ? XTextRule::kRoundTrip : (data[0] & 1) ? 17 : 10;
    const bool raw = (data[0] & 2) != 0;
    const unsigned setting = (data[0] >> 2) & 15;
    const std::u16string_view var = kVariables[((data[0] >> 6) | ((data[1] >> 2) & 4)) & 7];
    size_t at = 2;
    std::vector<double> xs = {-1.5, 0, 0.5, 2.25};
    for (unsigned k = 0; k < (data[1] & 15u) && at + 8 <= size; ++k, at += 8) {
        double x;
        std::memcpy(&x, data + at, 8);
        xs.push_back(x);
    }
    std::u16string formula;
    for (; at < size && formula.size() < kMaxFormulaLength; ++at)
        formula += raw ? std::u16string(1, static_cast<char16_t>(data[at]))
                       : std::u16string(kTokens[data[at] % kTokenCount]);

    const auto setup = [&] {
        StartIn(setting, full ? ZORBIT_PRECISION_FULL : ZORBIT_PRECISION_CLASSIC);
    };
    const test::RouteComparison c = test::CompareRoutes(setup, formula, var, decimals, xs);
    if (!c.difference.empty()) Fail(formula, c.difference);
    const std::string series = test::CompareSeries(setup, formula, u"x", xs[4 % xs.size()],
                                                   xs.back(), 1 + ((data[1] >> 4) & 7));
    if (!series.empty()) Fail(formula, series);
    // The text at one x, read again and again: the reused program against reading.
    const std::u16string text = test::Substituted(formula, var, u"(0.5)");
    const std::string reuse = test::CompareReuse(setup, text);
    if (!reuse.empty()) Fail(text, reuse);
    return 0;
}
