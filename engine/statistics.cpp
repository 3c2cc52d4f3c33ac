#include <algorithm>
#include <cmath>
#include <vector>

#include "engine/errors.h"
#include "engine/parser.h"
#include "engine/state.h"
#include "engine/tokenizer.h"

namespace zorbit {

namespace {

double Reduce(Kw kw, double* v, size_t n) {
    double acc = 0;
    switch (kw) {
    case Kw::Count: return static_cast<double>(n);
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
        for (size_t i = 0; i < n; ++i) acc += v[i];
        return acc;
    case Kw::Sum2:
        for (size_t i = 0; i < n; ++i) acc += v[i] * v[i];
        return acc;
    case Kw::Prod:
        acc = 1;
        for (size_t i = 0; i < n; ++i) acc *= v[i];
        return acc;
    case Kw::Prod2:
        acc = 1;
        for (size_t i = 0; i < n; ++i) acc *= v[i] * v[i];
        return acc;
    case Kw::Avg:
    case Kw::Mean:
        for (size_t i = 0; i < n; ++i) acc += v[i];
        return acc / static_cast<double>(n);
    case Kw::GeomMean:
        acc = 1;
        for (size_t i = 0; i < n; ++i) acc *= v[i];
        return std::pow(acc, 1.0 / static_cast<double>(n));
    case Kw::Stddev: {
        if (n < 2) {
            E_Error() = kErrInvalidArgument;
            ReportError(u"StatFunction", 0, u"stddev needs at least two values\r\n");
            return 0;
        }
        double sum = 0, sum2 = 0;
        for (size_t i = 0; i < n; ++i) {
            sum += v[i];
            sum2 += v[i] * v[i];
        }
        const double dn = static_cast<double>(n);
        return std::sqrt((sum2 - sum * sum / dn) / (dn - 1));
    }
    case Kw::Median: {
        std::sort(v, v + n);
        const size_t k = static_cast<size_t>(std::trunc(static_cast<double>(n) / 2 + 0.5)) - 1;
        if (n % 2 == 1) return v[k];
        return (v[k] + v[k + 1]) / 2;
    }
    default: return 0;
    }
}

}  // namespace

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
    double result = 0;
    if (E_Error() == kNoError) result = Reduce(kw, stack.data() + start, stack.size() - start);
    stack.resize(start);
    return result;
}

}  // namespace zorbit
