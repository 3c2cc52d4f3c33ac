#include "engine/function_notes.h"

#include <iterator>

#include "engine/function_table.h"

namespace zorbit {

namespace {

struct Note {
    Fn fn;
    std::u16string_view text;
};

constexpr Note kNotes[] = {
    {Fn::Abs, u"absolute value of x"},
    {Fn::Atan, u"arctangent of x, in radians"},
    {Fn::Cos, u"cosine of x (x in radians)"},
    {Fn::Exp, u"e raised to the power x"},
    {Fn::Fix, u"x without its fractional part"},
    {Fn::Int, u"x truncated to a 32-bit integer"},
    {Fn::Ln, u"natural logarithm of x"},
    {Fn::Log10, u"base 10 logarithm of x"},
    {Fn::Rnd, u"random number from 0 up to x"},
    {Fn::Sgn, u"sign of x: -1, 0 or 1"},
    {Fn::Sin, u"sine of x (x in radians)"},
    {Fn::Sqrt, u"square root of x"},
    {Fn::Tan, u"tangent of x (x in radians)"},
    {Fn::Sec, u"secant of x: 1/cos(x)"},
    {Fn::Cosec, u"cosecant of x: 1/sin(x)"},
    {Fn::Cotan, u"cotangent of x: 1/tan(x)"},
    {Fn::Arcsin, u"arcsine of x, in radians"},
    {Fn::Arccos, u"arccosine of x, in radians"},
    {Fn::Arcsec, u"arcsecant of x, in radians"},
    {Fn::Arccosec, u"arccosecant of x, in radians"},
    {Fn::Arccotan, u"arccotangent of x, in radians"},
    {Fn::Sinh, u"hyperbolic sine of x"},
    {Fn::Cosh, u"hyperbolic cosine of x"},
    {Fn::Tanh, u"hyperbolic tangent of x"},
    {Fn::Sech, u"hyperbolic secant of x"},
    {Fn::Cosech, u"hyperbolic cosecant of x"},
    {Fn::Cotanh, u"hyperbolic cotangent of x"},
    {Fn::Arctanh, u"inverse hyperbolic tangent of x"},
    {Fn::Arcsinh, u"inverse hyperbolic sine of x"},
    {Fn::Arccosh, u"inverse hyperbolic cosine of x"},
    {Fn::Arcsech, u"inverse hyperbolic secant of x"},
    {Fn::Arccosech, u"inverse hyperbolic cosecant of x"},
    {Fn::Arccotanh, u"inverse hyperbolic cotangent of x"},
    {Fn::ConstPi, u"pi, the ratio of a circle's circumference to its diameter"},
    {Fn::ConstRad, u"radians in one degree"},
    {Fn::ConstDeg, u"degrees in one radian"},
    {Fn::ConstE, u"e, the base of the natural logarithm"},
    {Fn::Heaviside, u"unit step: 0 for x < 0, else 1"},
};

static_assert(std::size(kNotes) == kFunctionCount, "one note per built-in function");

constexpr bool NotesInFnOrder() {
    for (size_t i = 0; i < std::size(kNotes); ++i)
        if (static_cast<size_t>(kNotes[i].fn) != i || kNotes[i].text.empty()) return false;
    return true;
}
static_assert(NotesInFnOrder(), "notes in the order of Fn, none empty");

} // namespace

std::u16string_view FunctionNote(Fn fn) {
    return kNotes[static_cast<size_t>(fn)].text;
}

} // namespace zorbit
