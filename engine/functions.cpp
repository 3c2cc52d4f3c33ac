#include "engine/functions.h"

#include <array>
#include <cmath>

#include "common/number_text.h"
#include "common/text.h"
#include "engine/errors.h"
#include "engine/function_table.h"
#include "engine/state.h"

namespace zorbit {

namespace {

// Classic mode reads `value` with 10 decimals; Full mode reads `full`, the double
// nearest the constant.
struct ConstName {
    std::u16string_view name;
    double value;
    double full;
};

constexpr double kPi = 3.141592653589793;
constexpr double kE = 2.718281828459045;

constexpr std::array<ConstName, 14> kConstants = {{
    {u"pi", 3.141592653589793, kPi},
    {u"#pi", 3.141592653589793, kPi},
    {u"2pi", 6.283185307179586, 2 * kPi},
    {u"#2pi", 6.283185307179586, 2 * kPi},
    {u"e", 2.71828182845905, kE},
    {u"#e", 2.71828182845905, kE},
    {u"deg", 57.2957795130823, 180 / kPi},
    {u"to_deg", 57.2957795130823, 180 / kPi},
    {u"#deg", 57.2957795130823, 180 / kPi},
    {u"#to_deg", 57.2957795130823, 180 / kPi},
    {u"rad", 0.017453292519943302, kPi / 180},
    {u"to_rad", 0.017453292519943302, kPi / 180},
    {u"#rad", 0.017453292519943302, kPi / 180},
    {u"#to_rad", 0.017453292519943302, kPi / 180},
}};

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

void CheckDomain(const FunctionRow& row, double x) {
    switch (row.domain) {
    case FnDomain::Any:
        break;
    case FnDomain::NotNegative:
        if (x < 0) DomainSimple(row.domainLine, x);
        break;
    case FnDomain::UnitInside:
        if (const double q = 1 - x * x; q < 0) DomainOneMinus(row.domainLine, x, q);
        break;
    case FnDomain::UnitOutside:
        if (const double q = x * x - 1; q < 0) DomainMinusOne(row.domainLine, x, q);
        break;
    case FnDomain::Int32:
        if (int32_t whole = 0; !Trunc32(x, &whole))
            DomainError(row.domainLine,
                        u"Invalid Argument = " + Fixed10(x) + u" (beyond the 32-bit integers)");
        break;
    }
}

// The domain check and the value's own faults, in that order; out of line, so that the
// call of a function with nothing to report keeps a small frame.
[[gnu::noinline]] double Reported(const FunctionRow& row, double argument, double x, double result,
                                  const FnParts& parts) {
    CheckDomain(row, x);
    if (std::isinf(result) && result < 0) {
        E_Error() = ZORBIT_E_INVALID_ARGUMENT;
        ReportError(u"e_function", 1391,
                    u"Invalid Argument: Numerator= " + Fixed10(parts.num) + u", Denominator= " +
                        Fixed10(parts.den) + u"\r\n");
    } else if (std::isnan(result) && std::isfinite(argument) && E_Error() == ZORBIT_NO_ERROR) {
        DomainSimple(0, x); // unless the domain check has reported it
    }
    return result;
}

} // namespace

bool Trunc32(double v, int32_t* out) {
    if (!(v > -2147483649.0 && v < 2147483648.0)) return false;
    *out = static_cast<int32_t>(v);
    return true;
}

bool LookupFunction(std::u16string_view lowerName, Fn* fn) {
    const FunctionRow* row = FindFunction(lowerName, kEvaluatorName);
    if (row == nullptr) return false;
    if (fn) *fn = row->fn;
    return true;
}

// Single precision lives here alone: the rows' math is double, and Full mode keeps it.
double CallFunction(Fn fn, double argument) {
    const FunctionRow& row = FunctionRowOf(fn);
    FnParts parts;
    double x = argument;
    double result;
    if (FullPrecision()) {
        result = (row.full != nullptr ? row.full : row.math)(x, parts);
    } else {
        x = static_cast<float>(argument);
        result = static_cast<float>(row.math(x, parts));
    }
    if (row.domain != FnDomain::Any || !std::isfinite(result))
        return Reported(row, argument, x, result, parts);
    return result;
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
            if (stored) *stored = FullPrecision() ? c.full : c.value;
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
    ps.e_tok = EngineText(v);
    ps.tokOwned = true;
    if (value) *value = EngineValue(v);
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
