#include "engine/function_table.h"

#include <algorithm>
#include <chrono>
#include <cmath>

#include "engine/state.h"

namespace zorbit {

namespace {

constexpr double kEulerDouble = 2.71828182845905;
// e and (below) π/2 rounded to single precision: exp and the inverse functions were fixed
// with them.
constexpr double kEulerSingle = 2.7182817459106445;

double E(double t) {
    return std::pow(kEulerDouble, t);
}

// 2·atan(1) from the single-precision atan, as the inverse functions use it.
double HalfPi() {
    static const double v = static_cast<double>(static_cast<float>(std::atan(1.0))) * 2.0;
    return v;
}

constexpr double kPi = 3.141592653589793;

// sqrt(x² − 1) for |x| >= 1 without the cancellation of x·x − 1 near 1.
double RootOutside(double x) {
    const double a = std::fabs(x);
    return std::sqrt((a - 1) * (a + 1));
}

// The inverse secant and cosecant near |x| = 1: acos and asin of 1/x there lose half the
// digits, atan of the root does not. Beyond 2 the square would overflow first.
double FullArcsec(double x, FnParts& parts) {
    parts.den = std::sqrt(x * x - 1);
    if (!(std::fabs(x) < 2)) return std::acos(1.0 / x);
    if (std::fabs(x) < 1) return std::acos(1.0 / x); // NaN: the domain check reports it
    const double angle = std::atan(RootOutside(x));
    return x > 0 ? angle : kPi - angle;
}

double FullArccosec(double x, FnParts& parts) {
    parts.den = std::sqrt(x * x - 1);
    if (!(std::fabs(x) < 2) || std::fabs(x) < 1) return std::asin(1.0 / x);
    const double angle = std::atan2(1.0, RootOutside(x));
    return x > 0 ? angle : -angle;
}

double Sgn(double x) {
    return x > 0 ? 1.0 : (x < 0 ? -1.0 : 0.0);
}

uint64_t NextRandom() {
    uint64_t& s = Engine().rngState;
    if (s == 0) {
        s = static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) | 1u;
    }
    // xorshift64*
    s ^= s >> 12;
    s ^= s << 25;
    s ^= s >> 27;
    return s * 2685821657736338717ull;
}

double RandomUpTo(double x) {
    const double n = std::nearbyint(x);
    if (!std::isfinite(n)) return n;
    const double span = std::fabs(n);
    const double u = static_cast<double>(NextRandom() >> 11) * 0x1.0p-53;
    double r = std::floor(u * (span + 1.0));
    if (r > span) r = span;
    return n < 0 ? -r : r; // a negative n draws from n to 0
}

constexpr uint8_t kEval = kEvaluatorName;
constexpr uint8_t kDiff = kDerivativeName;
constexpr uint8_t kBoth = kBothNames;

} // namespace

// Row i is Fn i. The evaluator also reads the differentiator's spellings, so every
// derivative it prints (but those of the sign and the unit step) can be evaluated and
// plotted.
constexpr std::array<FunctionRow, kFunctionCount> kFunctionRows = {{
    FunctionRow{.fn = Fn::Abs,
                .spellings = {{{u"abs", kBoth}}},
                .math = [](double x, FnParts&) { return std::fabs(x); },
                .node = 14,
                .logName = u"abs",
                .rule = {u"(sgn(", u")*("}},
    FunctionRow{
        .fn = Fn::Atan,
        .spellings = {{{u"atan", kEval}, {u"atn", kEval}, {u"arctg", kBoth}, {u"arctan", kBoth}}},
        .math = [](double x, FnParts&) { return std::atan(x); },
        .node = 21,
        .logName = u"arctg",
        .rule = {u"(1/(1+(", u")^2)*("}},
    FunctionRow{.fn = Fn::Cos,
                .spellings = {{{u"cos", kBoth}}},
                .math = [](double x, FnParts&) { return std::cos(x); },
                .node = 10,
                .logName = u"cos",
                .rule = {u"(-sin(", u")*("}},
    FunctionRow{.fn = Fn::Exp,
                .spellings = {{{u"exp", kBoth}}},
                .math = [](double x, FnParts&) { return std::pow(kEulerSingle, x); },
                .full = [](double x, FnParts&) { return std::exp(x); },
                .node = 18,
                .logName = u"exp",
                .rule = {u"(exp(", u")*("},
                .fold = [](double v) { return std::pow(kEulerDouble, v); }},
    FunctionRow{.fn = Fn::Fix,
                .spellings = {{{u"fix", kEval}}},
                .math =
                    [](double x, FnParts&) {
                        return x == 0 ? 0.0 : (std::fabs(x) / x) * std::trunc(std::fabs(x));
                    }},
    FunctionRow{.fn = Fn::Int,
                .spellings = {{{u"int", kEval}}},
                .math =
                    [](double x, FnParts&) {
                        int32_t whole = 0;
                        return Trunc32(x, &whole) ? whole : 0.0;
                    },
                .domain = FnDomain::Int32},
    FunctionRow{.fn = Fn::Ln,
                .spellings = {{{u"log", kBoth}, {u"ln", kBoth}}},
                .math = [](double x, FnParts&) { return std::log(x); },
                .domain = FnDomain::NotNegative,
                .domainLine = 1287,
                .node = 17,
                .logName = u"ln",
                .rule = {u"(1/(", u")*("},
                // single precision, as the evaluator computes it
                .fold =
                    [](double v) {
                        return static_cast<double>(static_cast<float>(
                            std::log(static_cast<double>(static_cast<float>(v)))));
                    }},
    // ln 10 in the rule is single precision, six decimals. The node dump has never named
    // this function nor the unit step.
    FunctionRow{.fn = Fn::Log10,
                .spellings = {{{u"log10", kBoth}}},
                .math = [](double x, FnParts&) { return std::log10(x); },
                .domain = FnDomain::NotNegative,
                .domainLine = 1295,
                .node = 28,
                .logName = u"",
                .rule = {u"(1/(", u")*(", u"/(2.302585)", u"/(2.302585092994046)"},
                .fold = [](double v) { return static_cast<float>(std::log(v)) / std::log(10.0); }},
    FunctionRow{.fn = Fn::Rnd,
                .spellings = {{{u"rnd", kEval}}},
                .math = [](double x, FnParts&) { return RandomUpTo(x); }},
    FunctionRow{.fn = Fn::Sgn,
                .spellings = {{{u"sgn", kBoth}, {u"sign", kDiff}}},
                .math = [](double x, FnParts&) { return Sgn(x); },
                .node = 15,
                .logName = u"sgn"},
    FunctionRow{.fn = Fn::Sin,
                .spellings = {{{u"sin", kBoth}}},
                .math = [](double x, FnParts&) { return std::sin(x); },
                .node = 11,
                .logName = u"sin",
                .rule = {u"(cos(", u")*("}},
    FunctionRow{.fn = Fn::Sqrt,
                .spellings = {{{u"sqr", kBoth}, {u"sqrt", kBoth}}},
                .math = [](double x, FnParts&) { return std::sqrt(x); },
                .domain = FnDomain::NotNegative,
                .domainLine = 1307,
                .node = 16,
                .logName = u"sqrt",
                .rule = {u"(0.5/sqrt(", u")*("}},
    FunctionRow{.fn = Fn::Tan,
                .spellings = {{{u"tan", kBoth}, {u"tg", kBoth}}},
                .math = [](double x, FnParts&) { return std::tan(x); },
                .node = 12,
                .logName = u"tg",
                .rule = {u"(1/(cos(", u")^2)*("},
                .fold = [](double v) { return std::sin(v) / std::cos(v); }},
    FunctionRow{.fn = Fn::Sec,
                .spellings = {{{u"sec", kEval}}},
                .math =
                    [](double x, FnParts& parts) {
                        parts.den = std::cos(x);
                        return 1.0 / parts.den;
                    }},
    FunctionRow{.fn = Fn::Cosec,
                .spellings = {{{u"cosec", kEval}}},
                .math =
                    [](double x, FnParts& parts) {
                        parts.den = std::sin(x);
                        return 1.0 / parts.den;
                    }},
    FunctionRow{.fn = Fn::Cotan,
                .spellings = {{{u"cotan", kBoth}, {u"ctg", kBoth}}},
                .math =
                    [](double x, FnParts& parts) {
                        parts.den = std::tan(x);
                        return 1.0 / parts.den;
                    },
                .node = 13,
                .logName = u"ctg",
                .rule = {u"(-1/(sin(", u")^2)*("},
                .fold = [](double v) { return std::cos(v) / std::sin(v); }},
    // At the ends of the domains the quotient is infinite and the angle exact: ±1 belong
    // to them.
    FunctionRow{.fn = Fn::Arcsin,
                .spellings = {{{u"arcsin", kBoth}}},
                .math =
                    [](double x, FnParts& parts) {
                        parts.den = std::sqrt(1 - x * x);
                        return std::atan(x / parts.den);
                    },
                .full =
                    [](double x, FnParts& parts) {
                        parts.den = std::sqrt(1 - x * x);
                        return std::asin(x);
                    },
                .domain = FnDomain::UnitInside,
                .domainLine = 1323,
                .node = 19,
                .logName = u"arcsin",
                .rule = {u"(1/sqrt(1-(", u")^2)*("}},
    FunctionRow{
        .fn = Fn::Arccos,
        .spellings = {{{u"arccos", kBoth}}},
        .math =
            [](double x, FnParts& parts) {
                const double q = 1 - x * x;
                parts.den = std::sqrt(q);
                if (q == 0) return x > 0 ? 0.0 : 2 * HalfPi();
                return -std::atan(x / parts.den) + HalfPi();
            },
        .full =
            [](double x, FnParts& parts) {
                parts.den = std::sqrt(1 - x * x);
                return std::acos(x);
            },
        .domain = FnDomain::UnitInside,
        .domainLine = 1330,
        .node = 20,
        .logName = u"arccos",
        .rule = {u"(-1/sqrt(1-(", u")^2)*("},
        .fold = [](double v) { return std::atan(-v / std::sqrt(1 - v * v)) + 2 * std::atan(1.0); }},
    // The textbook principal values: acos(1/x), asin(1/x) and π/2 − atan(x).
    FunctionRow{.fn = Fn::Arcsec,
                .spellings = {{{u"arcsec", kEval}}},
                .math =
                    [](double x, FnParts& parts) {
                        parts.den = std::sqrt(x * x - 1);
                        return std::acos(1.0 / x);
                    },
                .full = FullArcsec,
                .domain = FnDomain::UnitOutside,
                .domainLine = 1337},
    FunctionRow{.fn = Fn::Arccosec,
                .spellings = {{{u"arccosec", kEval}}},
                .math =
                    [](double x, FnParts& parts) {
                        parts.den = std::sqrt(x * x - 1);
                        return std::asin(1.0 / x);
                    },
                .full = FullArccosec,
                .domain = FnDomain::UnitOutside,
                .domainLine = 1344},
    FunctionRow{.fn = Fn::Arccotan,
                .spellings = {{{u"arccotan", kBoth}, {u"arcctg", kBoth}}},
                .math = [](double x, FnParts&) { return HalfPi() - std::atan(x); },
                // π/2 − atan(x) without the cancellation for large x
                .full = [](double x, FnParts&) { return std::atan2(1.0, x); },
                .node = 22,
                .logName = u"arcctg",
                .rule = {u"(-1/(1+(", u")^2)*("}},
    FunctionRow{.fn = Fn::Sinh,
                .spellings = {{{u"sinh", kBoth}, {u"sh", kBoth}}},
                .math = [](double x, FnParts&) { return (E(x) - E(-x)) / 2; },
                .full = [](double x, FnParts&) { return std::sinh(x); },
                .node = 23,
                .logName = u"sh",
                .rule = {u"(ch(", u")*("}},
    FunctionRow{.fn = Fn::Cosh,
                .spellings = {{{u"cosh", kBoth}, {u"ch", kBoth}}},
                .math = [](double x, FnParts&) { return (E(x) + E(-x)) / 2; },
                .full = [](double x, FnParts&) { return std::cosh(x); },
                .node = 24,
                .logName = u"ch",
                .rule = {u"(sh(", u")*("}},
    // Beyond |x| = 40 the quotient is exactly ±1 in double precision, and beyond 709
    // both of its terms overflow: the sign is the value.
    FunctionRow{.fn = Fn::Tanh,
                .spellings = {{{u"tanh", kBoth}, {u"th", kBoth}, {u"tgh", kBoth}}},
                .math =
                    [](double x, FnParts& parts) {
                        parts.den = E(x) + E(-x);
                        return std::fabs(x) > 40 ? Sgn(x) : (E(x) - E(-x)) / parts.den;
                    },
                .full =
                    [](double x, FnParts& parts) {
                        parts.den = std::cosh(x);
                        return std::tanh(x);
                    },
                .node = 25,
                .logName = u"th",
                .rule = {u"(1/(ch(", u")^2)*("},
                .fold = [](double v) { return (E(v) - E(-v)) / (E(v) + E(-v)); }},
    FunctionRow{.fn = Fn::Sech,
                .spellings = {{{u"sech", kEval}}},
                .math =
                    [](double x, FnParts& parts) {
                        parts.den = E(x) + E(-x);
                        return 2 / parts.den;
                    },
                .full =
                    [](double x, FnParts& parts) {
                        parts.den = std::cosh(x);
                        return 1 / parts.den;
                    }},
    FunctionRow{.fn = Fn::Cosech,
                .spellings = {{{u"cosech", kEval}}},
                .math =
                    [](double x, FnParts& parts) {
                        parts.den = E(x) - E(-x);
                        return 2 / parts.den;
                    },
                .full =
                    [](double x, FnParts& parts) {
                        parts.den = std::sinh(x);
                        return 1 / parts.den;
                    }},
    FunctionRow{.fn = Fn::Cotanh,
                .spellings = {{{u"cotanh", kBoth}, {u"cth", kBoth}, {u"ctgh", kBoth}}},
                .math =
                    [](double x, FnParts& parts) {
                        parts.den = E(x) - E(-x);
                        return std::fabs(x) > 40 ? Sgn(x) : (E(x) + E(-x)) / parts.den;
                    },
                .full =
                    [](double x, FnParts& parts) {
                        parts.den = std::sinh(x);
                        // near 0 the series: 1/tanh adds its error to the quotient's
                        if (std::fabs(x) < 1e-5 && x != 0) return 1 / x + x / 3;
                        return 1 / std::tanh(x);
                    },
                .node = 26,
                .logName = u"cth",
                .rule = {u"(-1/(sh(", u")^2)*("},
                .fold = [](double v) { return (E(v) + E(-v)) / (E(v) - E(-v)); }},
    FunctionRow{.fn = Fn::Arctanh,
                .spellings = {{{u"arctanh", kEval}}},
                .math =
                    [](double x, FnParts& parts) {
                        parts.den = 1 - x;
                        return std::log((1 + x) / parts.den) / 2;
                    },
                .full =
                    [](double x, FnParts& parts) {
                        parts.den = 1 - x;
                        return std::atanh(x);
                    }},
    // Odd functions: ln(x + sqrt(x² + 1)) loses every digit to cancellation for large
    // negative x (and 1/x: small negative arguments of arccosech).
    FunctionRow{.fn = Fn::Arcsinh,
                .spellings = {{{u"arcsinh", kEval}}},
                .math =
                    [](double x, FnParts& parts) {
                        parts.num = std::fabs(x) + std::sqrt(x * x + 1);
                        return std::asinh(x);
                    }},
    FunctionRow{.fn = Fn::Arccosh,
                .spellings = {{{u"arccosh", kEval}}},
                .math =
                    [](double x, FnParts& parts) {
                        parts.num = x + std::sqrt(x * x - 1);
                        return std::log(parts.num);
                    },
                // below 1 the Classic formula, for the same report
                .full =
                    [](double x, FnParts& parts) {
                        parts.num = x + std::sqrt(x * x - 1);
                        return x >= 1 ? std::acosh(x) : std::log(parts.num);
                    }},
    FunctionRow{.fn = Fn::Arcsech,
                .spellings = {{{u"arcsech", kEval}}},
                .math =
                    [](double x, FnParts& parts) {
                        parts.num = std::sqrt(1 - x * x) + 1;
                        parts.den = x;
                        return std::log(parts.num / x);
                    },
                // Near 1 the logarithm of 1 + t: t = (1 − x + sqrt((1 − x)(1 + x)))/x,
                // where 1 − x is exact.
                .full =
                    [](double x, FnParts& parts) {
                        parts.num = std::sqrt(1 - x * x) + 1;
                        parts.den = x;
                        if (!(x >= 0.5 && x <= 1)) return std::log(parts.num / x);
                        const double d = 1 - x;
                        return std::log1p((d + std::sqrt(d * (1 + x))) / x);
                    }},
    FunctionRow{.fn = Fn::Arccosech,
                .spellings = {{{u"arccosech", kEval}}},
                .math =
                    [](double x, FnParts& parts) {
                        parts.num = std::sqrt(x * x + 1) + 1;
                        parts.den = x;
                        return std::asinh(1.0 / x);
                    }},
    FunctionRow{.fn = Fn::Arccotanh,
                .spellings = {{{u"arccotanh", kEval}}},
                .math =
                    [](double x, FnParts& parts) {
                        parts.num = x + 1;
                        parts.den = x - 1;
                        return std::log(parts.num / parts.den) / 2;
                    },
                // ln((x + 1)/(x − 1))/2 = log1p(2/(x − 1))/2, odd; x − 1 is exact near 1
                .full =
                    [](double x, FnParts& parts) {
                        parts.num = x + 1;
                        parts.den = x - 1;
                        if (!(std::fabs(x) > 1)) return std::log(parts.num / parts.den) / 2;
                        const double a = std::fabs(x);
                        const double v = std::log1p(2 / (a - 1)) / 2;
                        return x > 0 ? v : -v;
                    }},
    // Constants read as functions, their values in single precision.
    FunctionRow{.fn = Fn::ConstPi,
                .spellings = {{{u"#pi", kEval}}},
                .math = [](double, FnParts&) { return 3.1415927410125732; },
                .full = [](double, FnParts&) { return kPi; }},
    FunctionRow{
        .fn = Fn::ConstRad,
        .spellings = {{{u"#rad", kEval}, {u"#to_rad", kEval}, {u"rad", kEval}, {u"to_rad", kEval}}},
        .math = [](double, FnParts&) { return 0.01745329238474369; },
        .full = [](double, FnParts&) { return kPi / 180; }},
    FunctionRow{
        .fn = Fn::ConstDeg,
        .spellings = {{{u"#deg", kEval}, {u"#to_deg", kEval}, {u"deg", kEval}, {u"to_deg", kEval}}},
        .math = [](double, FnParts&) { return 57.295780181884766; },
        .full = [](double, FnParts&) { return 180 / kPi; }},
    FunctionRow{.fn = Fn::ConstE,
                .spellings = {{{u"#e", kEval}}},
                .math = [](double, FnParts&) { return kEulerSingle; },
                .full = [](double, FnParts&) { return 2.718281828459045; }},
    // The unit step is the differentiator's alone.
    FunctionRow{.fn = Fn::Heaviside,
                .spellings = {{{u"heaviside", kDiff}, {u"h", kDiff}}},
                .math = [](double x, FnParts&) { return x < 0 ? 0.0 : 1.0; },
                .node = 27,
                .logName = u""},
}};

namespace {

constexpr bool RowsInFnOrder() {
    for (size_t i = 0; i < kFunctionRows.size(); ++i)
        if (static_cast<size_t>(kFunctionRows[i].fn) != i) return false;
    return true;
}
static_assert(RowsInFnOrder(), "one row per Fn, in its order");

struct NameIndex {
    std::u16string_view name;
    const FunctionRow* row = nullptr;
};

constexpr size_t SpellingCount(FnReader reader) {
    size_t n = 0;
    for (const FunctionRow& row : kFunctionRows)
        for (const FnSpelling& s : row.spellings)
            n += !s.name.empty() && (s.readers & reader) != 0 ? 1 : 0;
    return n;
}

// The spellings one reader reads, in the table's order.
template <FnReader reader> constexpr auto SpellingsOf() {
    std::array<NameIndex, SpellingCount(reader)> index{};
    size_t n = 0;
    for (const FunctionRow& row : kFunctionRows)
        for (const FnSpelling& s : row.spellings)
            if (!s.name.empty() && (s.readers & reader) != 0) index[n++] = {s.name, &row};
    return index;
}

// The evaluator's names sorted for a binary search.
constexpr auto kEvaluatorIndex = [] {
    auto index = SpellingsOf<kEvaluatorName>();
    std::sort(index.begin(), index.end(),
              [](const NameIndex& a, const NameIndex& b) { return a.name < b.name; });
    return index;
}();

// The differentiator asks for every name it reads, and most are no function's: the first
// letter turns most of them away, a scan comparing lengths first the rest.
constexpr auto kDerivativeIndex = SpellingsOf<kDerivativeName>();

constexpr uint32_t kDerivativeInitials = [] {
    uint32_t letters = 0;
    for (const NameIndex& e : kDerivativeIndex)
        letters |= uint32_t{1} << (e.name[0] - u'a'); // the spellings are lower case
    return letters;
}();

// Node codes run below 32 (the differentiator's power operator is 31).
constexpr int32_t kNodeCodes = 32;

constexpr bool NodesDistinct() {
    for (size_t i = 0; i < kFunctionRows.size(); ++i)
        for (size_t j = i + 1; j < kFunctionRows.size(); ++j)
            if (kFunctionRows[i].node != 0 && kFunctionRows[i].node == kFunctionRows[j].node)
                return false;
    return true;
}
static_assert(NodesDistinct(), "one row per node code");

constexpr std::array<const FunctionRow*, kNodeCodes> kNodeIndex = [] {
    std::array<const FunctionRow*, kNodeCodes> index{};
    for (const FunctionRow& row : kFunctionRows)
        if (row.node != 0) index.at(static_cast<size_t>(row.node)) = &row;
    return index;
}();

} // namespace

const FunctionRow* FindFunction(std::u16string_view name, FnReader reader) {
    if (reader == kEvaluatorName) {
        const auto it =
            std::lower_bound(kEvaluatorIndex.begin(), kEvaluatorIndex.end(), name,
                             [](const NameIndex& e, std::u16string_view n) { return e.name < n; });
        return it != kEvaluatorIndex.end() && it->name == name ? it->row : nullptr;
    }
    if (name.empty() || name[0] < u'a' || name[0] > u'z' ||
        (kDerivativeInitials & (uint32_t{1} << (name[0] - u'a'))) == 0)
        return nullptr;
    for (const NameIndex& e : kDerivativeIndex)
        if (e.name == name) return e.row;
    return nullptr;
}

const FunctionRow* FunctionOfNode(int32_t node) {
    return node >= 0 && node < kNodeCodes ? kNodeIndex[static_cast<size_t>(node)] : nullptr;
}

} // namespace zorbit
