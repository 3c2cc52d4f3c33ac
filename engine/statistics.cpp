#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "engine/errors.h"
#include "engine/parser.h"
#include "engine/state.h"
#include "engine/tokenizer.h"

namespace zorbit {

namespace {

void StatError(std::u16string_view text) {
    E_Error() = ZORBIT_E_INVALID_ARGUMENT;
    ReportError(u"StatFunction", 0, text);
}

// Sample standard deviation from the deviations from a refined mean, with their sum as a
// correction: no cancellation between two large sums (equal values give exactly 0). The
// values are scaled by a power of two first, which is exact, so that no square overflows.
double StandardDeviation(const double* v, size_t n) {
    double big = 0;
    for (size_t i = 0; i < n; ++i)
        big = std::max(big, std::fabs(v[i]));
    const int shift = big > 0 && std::isfinite(big) ? std::ilogb(big) : 0;
    const double dn = static_cast<double>(n);
    double mean = 0;
    for (size_t i = 0; i < n; ++i)
        mean += std::ldexp(v[i], -shift);
    mean /= dn;
    double drift = 0;
    for (size_t i = 0; i < n; ++i)
        drift += std::ldexp(v[i], -shift) - mean;
    mean += drift / dn;
    double squares = 0, deviations = 0;
    for (size_t i = 0; i < n; ++i) {
        const double d = std::ldexp(v[i], -shift) - mean;
        squares += d * d;
        deviations += d;
    }
    const double variance = (squares - deviations * deviations / dn) / (dn - 1);
    return std::ldexp(std::sqrt(std::max(variance, 0.0)), shift);
}

// (Π v(i))^(1/n). A product that leaves the range of doubles on the way is kept as a
// mantissa and a power of two, so that it still gives its root; a negative product stays
// the NaN of a fractional power.
double GeometricMean(const double* v, size_t n) {
    if (n == 1) return v[0];
    const double root = 1.0 / static_cast<double>(n);
    double plain = 1;
    bool inRange = true, zero = false, finite = true;
    for (size_t i = 0; i < n; ++i) {
        plain *= v[i];
        if (!std::isnormal(plain)) inRange = false;
        if (v[i] == 0) zero = true;
        if (!std::isfinite(v[i])) finite = false;
    }
    if (zero && finite) return 0;
    // An infinite or NaN value: the plain product is the answer.
    if (inRange || !finite) return std::pow(plain, root);
    double mantissa = 1;
    int64_t exponent = 0;
    for (size_t i = 0; i < n; ++i) {
        int e = 0, f = 0;
        const double m = std::frexp(v[i], &e);
        mantissa = std::frexp(mantissa * m, &f);
        exponent += e + f;
    }
    if (mantissa < 0) return std::numeric_limits<double>::quiet_NaN();
    // 2^(exponent/n) = 2^q · 2^(r/n) with 0 <= r < n.
    const auto count = static_cast<int64_t>(n);
    int64_t q = exponent / count, r = exponent % count;
    if (r < 0) {
        r += count;
        --q;
    }
    const double scaled =
        std::pow(mantissa, root) * std::exp2(static_cast<double>(r) / static_cast<double>(n));
    return std::ldexp(scaled, static_cast<int>(std::clamp<int64_t>(q, -4000, 4000)));
}

double Reduce(Kw kw, double* v, size_t n) {
    double acc = 0;
    switch (kw) {
    case Kw::Count:
        return static_cast<double>(n);
    case Kw::Min:
        acc = v[0];
        for (size_t i = 1; i < n; ++i)
            if (v[i] < acc) acc = v[i];
        return acc;
    case Kw::Max:
        acc = v[0];
        for (size_t i = 1; i < n; ++i)
            if (v[i] > acc) acc = v[i];
        return acc;
    case Kw::Sum:
        for (size_t i = 0; i < n; ++i)
            acc += v[i];
        return acc;
    case Kw::Sum2:
        for (size_t i = 0; i < n; ++i)
            acc += v[i] * v[i];
        return acc;
    case Kw::Prod:
        acc = 1;
        for (size_t i = 0; i < n; ++i)
            acc *= v[i];
        return acc;
    case Kw::Prod2:
        acc = 1;
        for (size_t i = 0; i < n; ++i)
            acc *= v[i] * v[i];
        return acc;
    case Kw::Avg:
    case Kw::Mean:
        for (size_t i = 0; i < n; ++i)
            acc += v[i];
        return acc / static_cast<double>(n);
    case Kw::GeomMean:
        return GeometricMean(v, n);
    case Kw::Stddev: {
        if (n < 2) {
            StatError(u"stddev needs at least two values\r\n");
            return 0;
        }
        return StandardDeviation(v, n);
    }
    case Kw::Median: {
        std::sort(v, v + n);
        const size_t k = static_cast<size_t>(std::trunc(static_cast<double>(n) / 2 + 0.5)) - 1;
        if (n % 2 == 1) return v[k];
        return (v[k] + v[k + 1]) / 2;
    }
    default:
        return 0;
    }
}

} // namespace

// Kept out of the reading loop, whose frame every nested call repeats.
__attribute__((noinline)) double StatisticsOf(Kw kw, double* values, size_t n) {
    const bool anyNaN = std::any_of(values, values + n, [](double x) { return std::isnan(x); });
    // An order has no place for NaN: these three would answer by its position.
    if (anyNaN && (kw == Kw::Min || kw == Kw::Max || kw == Kw::Median)) {
        StatError(u"A value is not a number\r\n");
        return 0;
    }
    const bool finite = std::all_of(values, values + n, [](double x) { return std::isfinite(x); });
    const double result = Reduce(kw, values, n);
    if (std::isnan(result) && finite && E_Error() == ZORBIT_NO_ERROR)
        StatError(u"The values give no number\r\n");
    return result;
}

double StatFunction(Kw kw) {
    ParserState& ps = Engine().parser;
    // The values of nested calls share one stack; each call uses its own slice of it.
    std::vector<double>& stack = ps.statValues;
    const size_t start = stack.size();
    stack.push_back(e_prs(1, 0).value);
    while (TokIs(ps, u';')) {
        e_match(u";");
        stack.push_back(e_prs(1, 0).value);
    }
    const double result = E_Error() == ZORBIT_NO_ERROR
                              ? StatisticsOf(kw, stack.data() + start, stack.size() - start)
                              : 0;
    stack.resize(start);
    return result;
}

} // namespace zorbit
