#include "script/plot_args.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "common/number_text.h"
#include "common/text.h"
#include "script/library_client.h"
#include "script/text_util.h"

namespace vex {

namespace {

constexpr size_t kMaxArguments = 6;

std::u16string Quoted(std::u16string_view text) {
    return u"\"" + std::u16string(text) + u"\"";
}

// A number as written, or an expression through the library; a matrix, a failure or a
// value that is not finite is refused with the argument's name in the text. With
// failure set, a library failure's code goes there instead of its text into error.
bool ArgumentValue(const Library& lib, std::u16string_view name, std::u16string_view field,
                   double& value, std::u16string& error, int32_t* failure) {
    const std::u16string_view text = zorbit::TrimBlanks(field);
    size_t used = 0;
    value = zorbit::ReadDecimal(text, &used);
    if (used != text.size()) {
        bool matrix = false;
        int32_t code = ZORBIT_NO_ERROR;
        if (!lib.Eval(text, value, matrix, code)) {
            error = u"the " + std::u16string(name) + u" " + Quoted(text) + u" does not evaluate: ";
            if (failure)
                *failure = code;
            else
                error += lib.FailureText(code);
            return false;
        }
        if (matrix) {
            error = u"the " + std::u16string(name) + u" " + Quoted(text) +
                    u" is a matrix, not a number";
            return false;
        }
    }
    if (!std::isfinite(value)) {
        error = u"the " + std::u16string(name) + u" " + Quoted(text) + u" is not a finite number";
        return false;
    }
    return true;
}

} // namespace

bool ParsePlotArgs(const Library& lib, std::u16string_view argument,
                   std::u16string_view expressionPart, PlotArgs& out, std::u16string& error,
                   int32_t* failure) {
    out = PlotArgs{};
    const std::vector<std::u16string_view> formulas = PlotFormulas(expressionPart);
    for (std::u16string_view formula : formulas) {
        if (zorbit::EqualsNoCase(formula, u"save") && formulas.size() > 1) {
            error = u"\"save\" can only end the Plot line, after the formulas";
            return false;
        }
        if (!out.expression.empty()) out.expression += u"; ";
        out.expression += formula;
        out.formulas.emplace_back(formula);
    }
    if (out.formulas.empty()) {
        error = u"nothing to plot: the expression after \"=\" is empty";
        return false;
    }
    if (out.formulas.size() > kMaxPlotCurves) {
        error = u"a plot takes at most " + zorbit::IntText(static_cast<long long>(kMaxPlotCurves)) +
                u" formulas, not " + zorbit::IntText(static_cast<long long>(out.formulas.size()));
        return false;
    }
    std::vector<std::u16string_view> fields;
    if (!zorbit::TrimBlanks(argument).empty()) fields = SplitFields(argument, u';');
    if (fields.size() > kMaxArguments) {
        error = u"Plot takes at most six arguments (x from; x to; steps; variable; data "
                u"file; window), not " +
                zorbit::IntText(static_cast<long long>(fields.size()));
        return false;
    }
    fields.resize(kMaxArguments);
    const auto given = [&](size_t k) { return !zorbit::TrimBlanks(fields[k]).empty(); };

    const Library::Quiet quiet = lib.Quietly();
    out.fromGiven = given(0);
    out.toGiven = given(1);
    out.stepsGiven = given(2);
    if (given(0) && !ArgumentValue(lib, u"x from", fields[0], out.xFrom, error, failure))
        return false;
    if (given(1) && !ArgumentValue(lib, u"x to", fields[1], out.xTo, error, failure)) return false;
    if (given(2)) {
        double steps = 0;
        if (!ArgumentValue(lib, u"steps", fields[2], steps, error, failure)) return false;
        if (steps != std::nearbyint(steps) || steps < 1 || steps > kMaxPlotSteps) {
            error = u"the steps " + Quoted(zorbit::TrimBlanks(fields[2])) +
                    u" must come to a whole number from 1 to " + zorbit::IntText(kMaxPlotSteps) +
                    u", not " + PlotNumberText(steps);
            return false;
        }
        out.steps = static_cast<int32_t>(steps);
    }
    if (given(3)) out.variable = std::u16string(zorbit::TrimBlanks(fields[3]));
    if (given(4)) {
        // A name in double quotes (a path with blanks) is taken without them, as one in
        // single quotes is.
        std::u16string_view name = StripQuoteEnds(zorbit::TrimBlanks(fields[4]));
        if (name.size() >= 2 && name.front() == u'"' && name.back() == u'"')
            name = name.substr(1, name.size() - 2);
        out.dataFile = std::u16string(name);
    }
    if (given(5)) {
        double window = 0;
        if (!ArgumentValue(lib, u"window", fields[5], window, error, failure)) return false;
        if (window != std::nearbyint(window) || window < 1 ||
            window > std::numeric_limits<int32_t>::max()) {
            error = u"the window " + Quoted(zorbit::TrimBlanks(fields[5])) +
                    u" must come to the number of a plot window (1, 2, ...), not " +
                    PlotNumberText(window);
            return false;
        }
        out.window = static_cast<int32_t>(window);
    }
    return true;
}

bool SplitPlotLine(std::u16string_view line, std::u16string_view& argument,
                   std::u16string_view& expressionPart, std::u16string& error) {
    argument = {};
    expressionPart = {};
    std::u16string_view rest = zorbit::TrimBlanks(line);
    constexpr std::u16string_view kWord = u"plot";
    if (rest.size() < kWord.size() || !zorbit::EqualsNoCase(rest.substr(0, kWord.size()), kWord)) {
        error = u"not a Plot line";
        return false;
    }
    rest = zorbit::TrimBlanks(rest.substr(kWord.size()));
    if (!rest.empty() && rest.front() == u'(') {
        size_t depth = 0, close = std::u16string_view::npos;
        for (size_t i = 0; i < rest.size() && close == std::u16string_view::npos; ++i) {
            if (rest[i] == u'(') ++depth;
            if (rest[i] == u')' && --depth == 0) close = i;
        }
        if (close == std::u16string_view::npos) {
            error = u"the parentheses after Plot do not close";
            return false;
        }
        argument = rest.substr(1, close - 1);
        rest = zorbit::TrimBlanks(rest.substr(close + 1));
    }
    if (rest.empty() || rest.front() != u'=') {
        error = u"Plot needs \"=\" and the expression to plot";
        return false;
    }
    expressionPart = rest.substr(1);
    return true;
}

namespace {

// The expression part's fields: split at each ";" outside parentheses, trimmed.
std::vector<std::u16string_view> TopFields(std::u16string_view expressionPart) {
    std::vector<std::u16string_view> fields;
    size_t depth = 0, start = 0;
    for (size_t i = 0; i <= expressionPart.size(); ++i) {
        const char16_t c = i < expressionPart.size() ? expressionPart[i] : u';';
        if (c == u'(') ++depth;
        if (c == u')' && depth > 0) --depth;
        if (c == u';' && (depth == 0 || i == expressionPart.size())) {
            fields.push_back(zorbit::TrimBlanks(expressionPart.substr(start, i - start)));
            start = i + 1;
        }
    }
    return fields;
}

// A last field "save" after at least one other.
bool EndsWithSave(const std::vector<std::u16string_view>& fields) {
    return fields.size() > 1 && zorbit::EqualsNoCase(fields.back(), u"save");
}

} // namespace

std::vector<std::u16string_view> PlotFormulas(std::u16string_view expressionPart) {
    std::vector<std::u16string_view> fields = TopFields(expressionPart);
    if (EndsWithSave(fields)) fields.pop_back();
    std::erase_if(fields, [](std::u16string_view f) { return f.empty(); });
    return fields;
}

bool HasSaveSuffix(std::u16string_view expressionPart) {
    return EndsWithSave(TopFields(expressionPart));
}

bool PlotLineSaves(std::u16string_view line) {
    std::u16string_view argument, expressionPart;
    std::u16string error;
    return SplitPlotLine(line, argument, expressionPart, error) && HasSaveSuffix(expressionPart);
}

std::u16string DataFilePath(std::u16string_view name, std::u16string_view folder) {
    if (name.empty() || name.front() == u'/' || folder.empty()) return std::u16string(name);
    std::u16string path(folder);
    if (path.back() != u'/') path += u'/';
    path += name;
    return path;
}

std::u16string PlotNumberText(double value, int decimals) {
    if (std::isnan(value)) return u"nan";
    if (std::isinf(value)) return value > 0 ? u"inf" : u"-inf";
    std::u16string text;
    zorbit::AppendFixedN(text, value, decimals);
    zorbit::TrimFixedInPlace(text);
    if (text == u"-0") text = u"0";
    return text;
}

} // namespace vex
