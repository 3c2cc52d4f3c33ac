#!/usr/bin/env python3
"""Writes accuracy.txt: built-in functions and operators at arguments across their
domains, with reference values computed at 50 digits.

Columns, tab-separated: name, first argument, second argument ("-" for functions),
reference (25 significant digits, "err" where the value is undefined or beyond the
doubles), Classic answer ("-" until recorded). The arguments are doubles written as the
shortest text that reads back to them; the test writes them into formulas in fixed
notation, so a formula carries them exactly.

The Classic column holds the library's answers before the Full mode existed, as hex
doubles ("E<code>" for an error); it is filled by
    VEX_ACCURACY_RECORD=1 build/default/bin/engine_tests --gtest_filter='Accuracy*'
and must never be re-recorded after a change to the Classic mode.
"""
import os
import random
import sys

import mpmath as mp

mp.mp.dps = 50
COUNT = 200
MAX = 1.7976931348623157e308


def fixed(x):
    return repr(float(x) + 0.0)


def spread(rng, lo, hi, n):
    """n doubles in [lo, hi]: uniform, plus log-uniform magnitudes when the span is wide."""
    out = []
    for i in range(n):
        if i % 2 == 0 or lo * hi >= 0 and min(abs(lo), abs(hi)) > 0 and abs(hi / lo) < 100:
            out.append(rng.uniform(lo, hi))
        else:
            top = max(abs(lo), abs(hi))
            e = rng.uniform(-12, mp.log10(top))
            v = float(10 ** e)
            if lo < 0 and (hi <= 0 or rng.random() < 0.5):
                v = -v
            if lo <= v <= hi:
                out.append(v)
            else:
                out.append(rng.uniform(lo, hi))
    return out


def arguments(rng, lo, hi, ends, tiny=True, huge=()):
    xs = list(ends)
    if tiny:
        xs += [1e-300, -1e-300, 1e-20, -1e-20, 2.2250738585072014e-308, 1e-8, -1e-8]
        xs = [x for x in xs if lo <= x <= hi]
    xs += list(huge)
    xs += spread(rng, lo, hi, COUNT + 10 - len(xs))
    return xs[: max(COUNT, len(xs))]


def near(v, k=6):
    """v and its double neighbours."""
    out = [v]
    a = b = v
    for _ in range(k):
        a = float(mp.mpf(a) - mp.mpf(2) ** (mp.floor(mp.log(abs(a), 2)) - 52)) if a else -5e-324
        b = float(mp.mpf(b) + mp.mpf(2) ** (mp.floor(mp.log(abs(b), 2)) - 52)) if b else 5e-324
        out += [a, b]
    return out


def acot(x):
    # pi/2 - atan(x), without its cancellation for large x
    if x == 0:
        return mp.pi / 2
    return mp.atan(1 / x) if x > 0 else mp.pi + mp.atan(1 / x)


def trunc(x):
    return mp.floor(x) if x >= 0 else mp.ceil(x)


def int32(x):
    t = trunc(x)
    if not (-2147483649 < x < 2147483648):
        raise ValueError
    return t


def checked(f, lo=None, hi=None, open_lo=False, open_hi=False):
    def g(x):
        if lo is not None and (x < lo or open_lo and x == lo):
            raise ValueError
        if hi is not None and (x > hi or open_hi and x == hi):
            raise ValueError
        return f(x)

    return g


def unit_outside(f):
    def g(x):
        if x * x - 1 < 0:
            raise ValueError
        return f(x)

    return g


PI2 = float(mp.pi / 2)
# name, math, low, high, special arguments
FUNCTIONS = [
    ("abs", abs, -1e300, 1e300, [0.0, -0.0, 5e-324]),
    ("sgn", mp.sign, -1e300, 1e300, [0.0, 5e-324, -5e-324]),
    ("fix", trunc, -1e300, 1e300, [0.5, -0.5, 2147483648.5, -2.5]),
    ("int", int32, -3e9, 3e9, [2147483647.9, -2147483648.9, 2147483648.0, -2147483649.0]),
    ("sqrt", checked(mp.sqrt, 0), -1, 1e300, [0.0, 2.0, 1e300, MAX, -1e-300, 5e-324]),
    ("exp", mp.exp, -700, 709, [1.0, 709.78, -708.0, 710.0, 1e-300]),
    ("ln", checked(mp.log, 0, open_lo=True), -1, 1e300, near(1.0) + [10.0, MAX, 5e-324, -1.0]),
    ("log10", checked(mp.log10, 0, open_lo=True), -1, 1e300, near(1.0) + [10.0, 1000.0, MAX]),
    ("sin", mp.sin, -1e6, 1e6, [float(mp.pi), PI2, 1e15, -1e15, 3.0, 1e-300]),
    ("cos", mp.cos, -1e6, 1e6, [float(mp.pi), PI2, 1e15, 3.0]),
    ("tan", mp.tan, -1e6, 1e6, [float(mp.pi), PI2, -PI2, 1e15, 1.5]),
    ("cotan", mp.cot, -1e6, 1e6, [float(mp.pi), PI2, 1e-300, 1e15]),
    ("sec", mp.sec, -1e6, 1e6, [float(mp.pi), PI2, 1e15]),
    ("cosec", mp.csc, -1e6, 1e6, [float(mp.pi), PI2, 1e-300, 1e15]),
    ("atan", mp.atan, -1e300, 1e300, [1.0, -1.0, 1e16, MAX]),
    ("arcsin", checked(mp.asin, -1, 1), -1, 1, near(1.0) + near(-1.0) + [0.5, 1e-300]),
    ("arccos", checked(mp.acos, -1, 1), -1, 1, near(1.0) + near(-1.0) + [0.5, 1e-300]),
    ("arcsec", unit_outside(lambda x: mp.acos(1 / x)), -1e300, 1e300, near(1.0) + near(-1.0) + [2.0, 0.5]),
    ("arccosec", unit_outside(lambda x: mp.asin(1 / x)), -1e300, 1e300, near(1.0) + near(-1.0) + [2.0, 0.5]),
    ("arccotan", acot, -1e300, 1e300, [0.0, 1.0, -1.0, 1e16, -1e16, MAX, -MAX]),
    ("sinh", mp.sinh, -710, 710, [1e-300, 1e-8, 710.4, 711.0, -711.0]),
    ("cosh", mp.cosh, -710, 710, [1e-300, 710.4, 711.0, 0.0]),
    ("tanh", mp.tanh, -50, 50, [1e-300, 1e-8, 20.0, 1e300, -1e300]),
    ("sech", mp.sech, -700, 700, [0.0, 1e-300, 700.0]),
    ("cosech", mp.csch, -700, 700, [1e-300, 1e-8, 700.0]),
    ("cotanh", mp.coth, -50, 50, [1e-300, 1e-8, 20.0, 1e300]),
    ("arctanh", checked(mp.atanh, -1, 1, True, True), -1, 1, near(1.0)[1:] + near(-1.0)[1:] + [0.5, 1e-300, 1e-8]),
    ("arcsinh", mp.asinh, -1e300, 1e300, [1e-300, 1e-8, -1e-8, 1e300, -1e300, MAX]),
    ("arccosh", checked(mp.acosh, 1), 0.5, 1e300, near(1.0) + [2.0, MAX]),
    ("arcsech", checked(mp.asech, 0, 1, open_lo=True), -0.5, 1, near(1.0) + [1e-300, 0.5, 1e-8]),
    ("arccosech", checked(mp.acsch, open_lo=False), -1e300, 1e300, [1e-300, -1e-300, 1e-8, 1e300]),
    ("arccotanh", unit_outside(lambda x: mp.acoth(x) if x * x != 1 else mp.inf), -1e300, 1e300, near(1.0)[1:] + near(-1.0)[1:] + [2.0, 1e300]),
]


def ref_text(v):
    if v is None:
        return "err"
    v = mp.mpf(v)
    if mp.isnan(v) or mp.isinf(v) or abs(v) > MAX:
        return "err"
    if v != 0 and abs(v) < 2.2250738585072014e-308:
        raise ValueError("subnormal reference")
    return mp.nstr(v, 25) if v != 0 else "0"


def function_rows(rng):
    rows = []
    for name, f, lo, hi, special in FUNCTIONS:
        xs = arguments(rng, lo, hi, special)
        for x in xs:
            x = float(x)
            if x == 0:
                x = 0.0
            try:
                v = f(mp.mpf(x))
                if isinstance(v, mp.mpc):
                    v = None
            except (ValueError, ZeroDivisionError):
                v = None
            try:
                rows.append((name, fixed(x), "-", ref_text(v)))
            except ValueError:
                pass  # results among the subnormals are left out
    return rows


def op_value(name, a, b):
    A, B = mp.mpf(a), mp.mpf(b)
    if name == "+":
        return A + B
    if name == "-":
        return A - B
    if name == "*":
        return A * B
    if name == "/":
        return None if B == 0 else A / B
    if name == "^":
        if A < 0 and B != int(B):
            return None
        if A == 0 and B < 0:
            return None
        return A ** B
    if name == "\\":
        if B == 0:
            return None
        return int32(A / B)
    if name == "mod":
        a32, b32 = int32(A), int32(B)
        if b32 == 0:
            return None
        r = abs(a32) % abs(b32)
        return -r if a32 < 0 else r
    raise KeyError(name)


OPERATORS = [
    ("+", (-1e300, 1e300)),
    ("-", (-1e300, 1e300)),
    ("*", (-1e150, 1e150)),
    ("/", (-1e150, 1e150)),
    ("^", (0, 100)),
    ("\\", (-1e9, 1e9)),
    ("mod", (-1e9, 1e9)),
]


def operator_rows(rng):
    rows = []
    for name, (lo, hi) in OPERATORS:
        n = 0
        while n < COUNT + 10:
            a = spread(rng, lo, hi, 1)[0]
            b = spread(rng, lo, hi, 1)[0]
            if name == "^":
                a = rng.choice([rng.uniform(0, 10), rng.uniform(-10, 10), 2.0, 10.0])
                b = rng.choice([rng.uniform(-50, 50), float(rng.randint(-20, 20)), 0.5])
            if name in ("\\", "mod") and n % 4 == 0:
                a, b = float(int(a)), float(int(b) or 1)
            try:
                v = op_value(name, a, b)
            except (ValueError, ZeroDivisionError):
                v = None
            try:
                rows.append((name, fixed(a), fixed(b), ref_text(v)))
                n += 1
            except ValueError:
                pass
    # negation
    for x in arguments(rng, -1e300, 1e300, [0.0, 1.0, MAX]):
        rows.append(("neg", fixed(x), "-", ref_text(-mp.mpf(x))))
    return rows


def main():
    rng = random.Random(21)
    rows = function_rows(rng) + operator_rows(rng)
    out = os.path.join(os.path.dirname(os.path.abspath(__file__)), "accuracy.txt")
    if len(sys.argv) > 1:
        out = sys.argv[1]
    # Recorded Classic answers stay with their cases.
    classic = {}
    if os.path.exists(out):
        with open(out, encoding="ascii") as f:
            for line in f:
                if not line.startswith("#"):
                    c = line.rstrip("\n").split("\t")
                    classic[tuple(c[:3])] = c[4]
    with open(out, "w", encoding="ascii") as f:
        f.write("# name\targ1\targ2\treference\tclassic (written by accuracy_table.py)\n")
        for r in rows:
            f.write("\t".join(r) + "\t" + classic.get(tuple(r[:3]), "-") + "\n")
    print(len(rows), "rows", file=sys.stderr)


if __name__ == "__main__":
    main()
