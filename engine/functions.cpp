#include "engine/functions.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <climits>
#include <cmath>
#include <vector>

#include "common/number_text.h"
#include "common/text.h"
#include "engine/errors.h"
#include "engine/state.h"

namespace zorbit {

namespace {

struct FnName {
    std::u16string_view name;
    Fn fn;
};

// The evaluator also accepts the differentiator's spellings, so every derivative it
// prints can be evaluated and plotted.
const std::vector<FnName>& FunctionTable() {
    static const std::vector<FnName> table = [] {
        std::vector<FnName> t = {
            {u"abs", Fn::Abs},
            {u"atan", Fn::Atan},
            {u"atn", Fn::Atan},
            {u"cos", Fn::Cos},
            {u"exp", Fn::Exp},
            {u"fix", Fn::Fix},
            {u"int", Fn::Int},
            {u"log", Fn::Ln},
            {u"ln", Fn::Ln},
            {u"log10", Fn::Log10},
            {u"rnd", Fn::Rnd},
            {u"sgn", Fn::Sgn},
            {u"sin", Fn::Sin},
            {u"sqr", Fn::Sqrt},
            {u"sqrt", Fn::Sqrt},
            {u"tan", Fn::Tan},
            {u"sec", Fn::Sec},
            {u"cosec", Fn::Cosec},
            {u"cotan", Fn::Cotan},
            {u"arcsin", Fn::Arcsin},
            {u"arccos", Fn::Arccos},
            {u"arcsec", Fn::Arcsec},
            {u"arccosec", Fn::Arccosec},
            {u"arccotan", Fn::Arccotan},
            {u"sinh", Fn::Sinh},
            {u"cosh", Fn::Cosh},
            {u"tanh", Fn::Tanh},
            {u"sech", Fn::Sech},
            {u"cosech", Fn::Cosech},
            {u"cotanh", Fn::Cotanh},
            {u"arctanh", Fn::Arctanh},
            {u"arcsinh", Fn::Arcsinh},
            {u"arccosh", Fn::Arccosh},
            {u"arcsech", Fn::Arcsech},
            {u"arccosech", Fn::Arccosech},
            {u"arccotanh", Fn::Arccotanh},
            {u"#pi", Fn::ConstPi},
            {u"#rad", Fn::ConstRad},
            {u"#to_rad", Fn::ConstRad},
            {u"rad", Fn::ConstRad},
            {u"to_rad", Fn::ConstRad},
            {u"#deg", Fn::ConstDeg},
            {u"#to_deg", Fn::ConstDeg},
            {u"deg", Fn::ConstDeg},
            {u"to_deg", Fn::ConstDeg},
            {u"#e", Fn::ConstE},
            // Spellings of the differentiator.
            {u"tg", Fn::Tan},
            {u"ctg", Fn::Cotan},
            {u"sh", Fn::Sinh},
            {u"ch", Fn::Cosh},
            {u"th", Fn::Tanh},
            {u"tgh", Fn::Tanh},
            {u"cth", Fn::Cotanh},
            {u"ctgh", Fn::Cotanh},
            {u"arctg", Fn::Atan},
            {u"arctan", Fn::Atan},
            {u"arcctg", Fn::Arccotan},
        };
        std::sort(t.begin(), t.end(),
                  [](const FnName& a, const FnName& b) { return a.name < b.name; });
        return t;
    }();
    return table;
}

struct ConstName {
    std::u16string_view name;
    double value;
};

constexpr std::array<ConstName, 14> kConstants = {{
    {u"pi", 3.141592653589793},
    {u"#pi", 3.141592653589793},
    {u"2pi", 6.283185307179586},
    {u"#2pi", 6.283185307179586},
    {u"e", 2.71828182845905},
    {u"#e", 2.71828182845905},
    {u"deg", 57.2957795130823},
    {u"to_deg", 57.2957795130823},
    {u"#deg", 57.2957795130823},
    {u"#to_deg", 57.2957795130823},
    {u"rad", 0.017453292519943302},
    {u"to_rad", 0.017453292519943302},
    {u"#rad", 0.017453292519943302},
    {u"#to_rad", 0.017453292519943302},
}};

constexpr double kEulerDouble = 2.71828182845905;
constexpr double kEulerSingle = 2.7182817459106445;

double E(double t) {
    return std::pow(kEulerDouble, t);
}

// 2·atan(1) from the single-precision atan, as the inverse functions use it.
double HalfPi() {
    static const double v = static_cast<double>(static_cast<float>(std::atan(1.0))) * 2.0;
    return v;
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

// Reports of the domain checks: numbers in "%.10f".
void DomainError(int32_t line, std::u16string text) {
    E_Error() = ZORBIT_E_INVALID_ARGUMENT;
    ReportError(u"e_function", line, text + u"\r\n");
}

void DomainSimple(int32_t line, double x) {
    DomainError(line, u"Invalid Argument = " + Fixed10(x));
}

void DomainOneMinus(int32_t line, double x, double q) {
    DomainError(line, u"Invalid Argument = " + Fixed10(x) + u" and (-arg^2 + 1) => " + Fixed10(q));
}

void DomainMinusOne(int32_t line, double x, double q) {
    DomainError(line, u"Invalid Argument = " + Fixed10(x) + u" and (arg^2 - 1) => " + Fixed10(q));
}

// The integer operators work on 32-bit integers: a value beyond them has no answer.
void BeyondInt32(std::u16string_view what, double v) {
    E_Error() = ZORBIT_E_INVALID_ARGUMENT;
    ReportError(u"e_prs", 0,
                std::u16string(what) + u" " + Fixed10(v) + u" is beyond the 32-bit integers\r\n");
}

} // namespace

bool Trunc32(double v, int32_t* out) {
    if (!(v > -2147483649.0 && v < 2147483648.0)) return false;
    *out = static_cast<int32_t>(v);
    return true;
}

bool LookupFunction(std::u16string_view lowerName, Fn* fn) {
    const auto& t = FunctionTable();
    auto it = std::lower_bound(t.begin(), t.end(), lowerName,
                               [](const FnName& e, std::u16string_view n) { return e.name < n; });
    if (it == t.end() || it->name != lowerName) return false;
    if (fn) *fn = it->fn;
    return true;
}

double CallFunction(Fn fn, double argument) {
    const double x = static_cast<float>(argument);
    double r = 0;
    double num = 0, den = 0; // what a −infinity report names
    switch (fn) {
    case Fn::Abs:
        r = std::fabs(x);
        break;
    case Fn::Atan:
        r = std::atan(x);
        break;
    case Fn::Cos:
        r = std::cos(x);
        break;
    case Fn::Sin:
        r = std::sin(x);
        break;
    case Fn::Tan:
        r = std::tan(x);
        break;
    case Fn::Exp:
        r = std::pow(kEulerSingle, x);
        break;
    case Fn::Fix:
        r = x == 0 ? 0.0 : (std::fabs(x) / x) * std::trunc(std::fabs(x));
        break;
    case Fn::Int: {
        int32_t whole = 0;
        if (Trunc32(x, &whole))
            r = whole;
        else
            DomainError(0, u"Invalid Argument = " + Fixed10(x) + u" (beyond the 32-bit integers)");
        break;
    }
    case Fn::Ln:
        r = std::log(x);
        if (x < 0) DomainSimple(1287, x);
        break;
    case Fn::Log10:
        r = std::log10(x);
        if (x < 0) DomainSimple(1295, x);
        break;
    case Fn::Rnd:
        r = RandomUpTo(x);
        break;
    case Fn::Sgn:
        r = Sgn(x);
        break;
    case Fn::Sqrt:
        r = std::sqrt(x);
        if (x < 0) DomainSimple(1307, x);
        break;
    case Fn::Sec:
        den = std::cos(x);
        r = 1.0 / den;
        break;
    case Fn::Cosec:
        den = std::sin(x);
        r = 1.0 / den;
        break;
    case Fn::Cotan:
        den = std::tan(x);
        r = 1.0 / den;
        break;
    // At the ends of the domains the quotient is infinite and the angle exact: ±1 belong
    // to them.
    case Fn::Arcsin: {
        const double q = 1 - x * x;
        den = std::sqrt(q);
        r = std::atan(x / den);
        if (q < 0) DomainOneMinus(1323, x, q);
        break;
    }
    case Fn::Arccos: {
        const double q = 1 - x * x;
        den = std::sqrt(q);
        if (q == 0)
            r = x > 0 ? 0.0 : 2 * HalfPi();
        else
            r = -std::atan(x / den) + HalfPi();
        if (q < 0) DomainOneMinus(1330, x, q);
        break;
    }
    // The textbook principal values: acos(1/x), asin(1/x) and π/2 − atan(x).
    case Fn::Arcsec: {
        const double q = x * x - 1;
        den = std::sqrt(q);
        r = std::acos(1.0 / x);
        if (q < 0) DomainMinusOne(1337, x, q);
        break;
    }
    case Fn::Arccosec: {
        const double q = x * x - 1;
        den = std::sqrt(q);
        r = std::asin(1.0 / x);
        if (q < 0) DomainMinusOne(1344, x, q);
        break;
    }
    case Fn::Arccotan:
        r = HalfPi() - std::atan(x);
        break;
    case Fn::Sinh:
        r = (E(x) - E(-x)) / 2;
        break;
    case Fn::Cosh:
        r = (E(x) + E(-x)) / 2;
        break;
    // Beyond |x| = 40 the quotient is exactly ±1 in double precision, and beyond 709
    // both of its terms overflow: the sign is the value.
    case Fn::Tanh:
        den = E(x) + E(-x);
        r = std::fabs(x) > 40 ? Sgn(x) : (E(x) - E(-x)) / den;
        break;
    case Fn::Sech:
        den = E(x) + E(-x);
        r = 2 / den;
        break;
    case Fn::Cosech:
        den = E(x) - E(-x);
        r = 2 / den;
        break;
    case Fn::Cotanh:
        den = E(x) - E(-x);
        r = std::fabs(x) > 40 ? Sgn(x) : (E(x) + E(-x)) / den;
        break;
    case Fn::Arctanh:
        den = 1 - x;
        r = std::log((1 + x) / den) / 2;
        break;
    // Odd functions: ln(x + sqrt(x² + 1)) loses every digit to cancellation for large
    // negative x (and 1/x: small negative arguments of arccosech).
    case Fn::Arcsinh:
        num = std::fabs(x) + std::sqrt(x * x + 1);
        r = std::asinh(x);
        break;
    case Fn::Arccosh:
        num = x + std::sqrt(x * x - 1);
        r = std::log(num);
        break;
    case Fn::Arcsech:
        num = std::sqrt(1 - x * x) + 1;
        den = x;
        r = std::log(num / den);
        break;
    case Fn::Arccosech:
        num = std::sqrt(x * x + 1) + 1;
        den = x;
        r = std::asinh(1.0 / x);
        break;
    case Fn::Arccotanh:
        num = x + 1;
        den = x - 1;
        r = std::log(num / den) / 2;
        break;
    case Fn::ConstPi:
        r = 3.1415927410125732;
        break;
    case Fn::ConstRad:
        r = 0.01745329238474369;
        break;
    case Fn::ConstDeg:
        r = 57.295780181884766;
        break;
    case Fn::ConstE:
        r = kEulerSingle;
        break;
    }
    const double result = static_cast<float>(r);
    if (std::isinf(result) && result < 0) {
        E_Error() = ZORBIT_E_INVALID_ARGUMENT;
        ReportError(u"e_function", 1391,
                    u"Invalid Argument: Numerator= " + Fixed10(num) + u", Denominator= " +
                        Fixed10(den) + u"\r\n");
    } else if (std::isnan(result) && std::isfinite(argument) && E_Error() == ZORBIT_NO_ERROR) {
        DomainSimple(0, x); // unless a domain check above has reported it
    }
    return result;
}

double NumberPower(double a, double b) {
    const double r = std::pow(a, b);
    if (std::isnan(r) && std::isfinite(a) && std::isfinite(b)) {
        E_Error() = ZORBIT_E_INVALID_ARGUMENT;
        ReportError(u"e_prs", 0,
                    u"Invalid Argument: " + Fixed10(a) + u" ^ " + Fixed10(b) + u"\r\n");
    }
    return r;
}

double IntegerQuotient(double a, double b) {
    if (b == 0) {
        E_Error() = ZORBIT_E_DIVISION_BY_ZERO;
        ReportError(u"e_prs", 0, u"\\: the right operand is 0\r\n");
        return 0;
    }
    const double q = std::trunc(a / b);
    int32_t whole = 0;
    if (!Trunc32(q, &whole)) {
        BeyondInt32(u"\\: the quotient", q);
        return 0;
    }
    return whole;
}

double IntegerRemainder(double a, double b) {
    int32_t x = 0, y = 0;
    if (!Trunc32(a, &x)) {
        BeyondInt32(u"mod: the left operand", a);
        return 0;
    }
    if (!Trunc32(b, &y)) {
        BeyondInt32(u"mod: the right operand", b);
        return 0;
    }
    if (y == 0) {
        E_Error() = ZORBIT_E_DIVISION_BY_ZERO;
        ReportError(u"e_prs", 0, u"mod: the right operand is 0\r\n");
        return 0;
    }
    if (y == -1) return 0; // also INT_MIN mod -1, which would trap
    return x % y;
}

double BitwiseNot(double v) {
    int32_t x = 0;
    if (!Trunc32(v, &x)) {
        BeyondInt32(u"not: the operand", v);
        return 0;
    }
    return ~x;
}

double e_function(std::u16string_view name, double argument) {
    E_Error() = ZORBIT_NO_ERROR;
    const std::u16string lower = ToLower(name);
    Fn fn;
    if (!LookupFunction(lower, &fn)) {
        E_Error() = ZORBIT_E_UNDEFINED_FUNCTION;
        ReportError(u"e_function", 1376, u"Undefined Function = " + lower + u"\r\n");
        return 0.0;
    }
    return CallFunction(fn, argument);
}

bool LookupConstant(std::u16string_view lowerName, double* stored) {
    for (const auto& c : kConstants) {
        if (c.name == lowerName) {
            if (stored) *stored = c.value;
            return true;
        }
    }
    return false;
}

int32_t GetConst(std::u16string_view name, double* value) {
    E_Error() = ZORBIT_E_UNDEFINED;
    double v = 0;
    if (!LookupConstant(ToLower(name), &v)) {
        E_Error() = ZORBIT_E_UNDEFINED_CONSTANT;
        return 0;
    }
    ParserState& ps = Engine().parser;
    ps.e_tok = Fixed10(v);
    ps.tokOwned = true;
    if (value) *value = RoundTo10(v);
    E_Error() = ZORBIT_NO_ERROR;
    return 1;
}

std::u16string OperAndFuncsText() {
    std::u16string s = u"Library: Zorbit.dll - Version: ";
    s += VEX_VERSION_TEXT;
    s += u" (build: 31)";
    s += u"\r\nSupported Constants:";
    s += u"\r\n  PI\t= 3.1415926536 (also #PI)";
    s += u"\r\n  e \t= 2.7182818285 (also #e)";
    s += u"\r\n  to_deg\t= 57.2957795131 (also #to_rad)";
    s += u"\r\n  to_rad\t=0.0174532925 (also #to_deg)";
    s += u"\r\n    others can be defined with Command 'Var' (es. Var = g ; 9.81)";
    s += u"\r\n";
    s += u"\r\nSupported Operators:";
    s += u"\r\n  ( \t= left bracket";
    s += u"\r\n  ) \t= right bracket";
    s += u"\r\n  + \t= plus operator";
    s += u"\r\n  - \t= minus operator";
    s += u"\r\n  * \t= multiply operator";
    s += u"\r\n  / \t= division operator";
    s += u"\r\n  ^ \t= power operator";
    s += u"\r\n  & \t= hexadecimal number (es. &FF = 256) <ver. 0.0.4.6>";
    s += u"\r\n  ! \t= binary number (es. !100 = 4) <ver. 0.0.4.6>";
    s += u"\r\n";
    s += u"\r\nSupported Logical Operators:";
    s += u"\r\n and eqv imp mod not or xor ";
    s += u"\r\n";
    s += u"\r\nSupported Functions:";
    s += u"\r\n min max avg sum sum2 prod prod2 stddev count geom_mean median mean ";
    s += u"\r\n";
    s += u"\r\nSupported Matrix Operators:";
    s += u"\r\n det trace syst vcoeff  I=Inverse, T=Traspost, D=Diagonal";
    s += u"\r\n(es. Expr = det([mA]), StoExpr([mAI]) = [mA]I)";
    s += u"\r\n";
    s += u"\r\nSupported Trig Functions:";
    s += u"\r\n  cos(x)\t= cosine of x";
    s += u"\r\n  sin(x)\t= sine of x";
    s += u"\r\n  tg(x)\t= tangent of x (also tan(x))";
    s += u"\r\n  ctg(x)\t= cotangent of x (also cotan(x))";
    s += u"\r\n    by default argument is in radiants. use to_rad and to_deg ";
    s += u"\r\n    constants above for convertions between types.";
    s += u"\r\n";
    s += u"\r\n  abs(x)\t= absolute value of x = |x|";
    s += u"\r\n  sgn(x)\t= sign of x (+/-1)";
    s += u"\r\n  ln(x)\t= natural logaritm of x (also log(x))";
    s += u"\r\n  log10(x)\t= base 10 logaritm of x";
    s += u"\r\n  sqrt(x)\t= square root of x";
    s += u"\r\n  exp(x)\t= power of natural number by x (e^x)";
    s += u"\r\n  sh(x)\t= sin hyperbolic of x (also sinh(x))";
    s += u"\r\n  ch(x)\t= cos hyperbolic of x (also cosh(x))";
    s += u"\r\n  th(x)\t= tangent hyperbolic of x (also tanh(x) and tgh(x))";
    s += u"\r\n  cth(x)\t= cotangent hyperbolic of x (also cotanh(x) and ctgh(x))";
    s += u"\r\n  arcsin(x)\t= arcsin of x";
    s += u"\r\n  arccos(x)\t= arccos of x";
    s += u"\r\n  arctan(x)\t= arctangent of x (also arctg(x))";
    s += u"\r\n  arcctg(x)\t= arccotangent of x (also arccotan(x))";
    return s;
}

} // namespace zorbit
