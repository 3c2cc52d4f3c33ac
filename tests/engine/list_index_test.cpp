// The variable and function lists answer through their index exactly as a scan of the
// list text would: random definitions and lookups are checked against plain scans.
#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "common/number_text.h"
#include "common/text.h"
#include "context/context.h"
#include "engine/errors.h"
#include "engine/variables.h"
#include "engine_fixture.h"

namespace zorbit::test {
namespace {

// ---- The plain scans the index stands in for.

size_t ScanEntry(std::u16string_view list, std::u16string_view key) {
    size_t p = 0;
    while ((p = list.find(key, p)) != std::u16string_view::npos) {
        if (p == 0 || list[p - 1] == u';') return p;
        ++p;
    }
    return std::u16string_view::npos;
}

std::u16string ScanExpand(std::u16string_view funcs, std::u16string text) {
    size_t entry = 0;
    while (entry < funcs.size()) {
        size_t end = funcs.find(u';', entry);
        if (end == std::u16string::npos) end = funcs.size();
        const std::u16string_view item = funcs.substr(entry, end - entry);
        entry = end + 1;
        const size_t eq = item.find(u'=');
        if (eq == std::u16string_view::npos || eq == 0) continue;
        const std::u16string_view name = item.substr(0, eq), body = item.substr(eq + 1);
        std::u16string out;
        size_t from = 0;
        for (size_t p = FindWholeName(text, name, 0, true); p != std::u16string::npos;
             p = FindWholeName(text, name, from, true)) {
            out.append(text, from, p - from);
            out += u'(';
            out += body;
            out += u')';
            from = p + name.size();
        }
        out.append(text, from, std::u16string::npos);
        text.swap(out);
    }
    return text;
}

// The first name that occurs in another entry, or "" when none.
std::u16string ScanAmbiguous(std::u16string_view funcs) {
    size_t entry = 0;
    while (entry < funcs.size()) {
        size_t end = funcs.find(u';', entry);
        if (end == std::u16string::npos) end = funcs.size();
        const std::u16string_view item = funcs.substr(entry, end - entry);
        const std::u16string_view name = item.substr(0, item.find(u'='));
        if (!name.empty()) {
            const bool before = funcs.substr(0, entry).find(name) != std::u16string_view::npos;
            const bool after =
                end < funcs.size() && funcs.substr(end + 1).find(name) != std::u16string_view::npos;
            if (before || after) return std::u16string(name);
        }
        entry = end + 1;
    }
    return u"";
}

class Lists : public EngineTest {
  protected:
    static std::u16string& Vars() { return Engine().vars.VarList; }
    static std::u16string& Funcs() { return Engine().vars.FuncList; }
};

// Names chosen to collide: prefixes and suffixes of each other, "=" and ";" inside a
// name (refused), names that do not start like an identifier, upper case. Bracketed
// names that are no parameter lists stay text macros; parameters have their own tests.
const std::u16string kNames[] = {u"a",   u"ab",      u"b",   u"ba", u"f(1)", u"f",  u"g(2)",
                                 u"xf",  u"a=b",     u"x;y", u"#h", u"(a)",  u"AB", u"f1",
                                 u"f10", u"f1(x+1)", u"y",   u"_z", u"a b",  u"=q"};
const std::u16string kValues[] = {u"1",    u"2.5",   u"a+1", u"f(1)*2", u"ab", u"x^2",
                                  u"b=c",  u"",      u"ba",  u"(a)",    u"h",  u"f1(2)",
                                  u"y*ab", u"12.25", u"#h",  u"AB+f"};
const std::u16string kTexts[] = {u"a+b",  u"ab*ba",  u"f(1)+F(1)", u"F(1)",  u"f1(x+1)+f10",
                                 u"xf-y", u"(a)",    u"#h+_z",     u"a b",   u"g(2)^2",
                                 u"f",    u"sin(a)", u"",          u"ab(a)", u"y"};

TEST_F(Lists, RandomDefinitionsAnswerAsAScanOfTheText) {
    for (uint32_t seed = 1; seed <= 40; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        ResetContext();
        std::mt19937 rng(seed);
        auto pick = [&](const auto& table) {
            return table[rng() % (sizeof(table) / sizeof(table[0]))];
        };
        for (int step = 0; step < 300; ++step) {
            const uint32_t what = rng() % 20;
            const int32_t kind = static_cast<int32_t>(rng() % 2);
            if (what < 9) {
                const std::u16string name = pick(kNames), value = pick(kValues);
                std::u16string expected = kind == 0 ? Vars() : Funcs();
                if (!expected.empty() && expected.back() != u';') expected += u';';
                std::u16string key = ToLower(name) + u"=";
                const size_t at = ScanEntry(expected, key);
                if (ToLower(name).find_first_of(u";=") != std::u16string::npos) {
                    // refused: the list only gets its closing ";"
                } else if (at == std::u16string::npos) {
                    expected += key + value + u";";
                } else {
                    const size_t v = at + key.size();
                    expected.replace(v, expected.find(u';', v) - v, value);
                }
                const int32_t count = SetVarFunct(name, value, kind);
                ASSERT_EQ(Narrow(kind == 0 ? Vars() : Funcs()), Narrow(expected));
                ASSERT_EQ(count, std::count(expected.begin(), expected.end(), u';'));
            } else if (what < 12) {
                const std::u16string name = pick(kNames);
                const std::u16string list = kind == 0 ? Vars() : Funcs();
                double r = 0;
                char16_t buffer[64] = {};
                const int32_t found = FindVarFunct(name, kind, &r, buffer);
                std::u16string closed = list;
                if (kind == 0 && (closed.empty() || closed.back() != u';')) closed += u';';
                const size_t at = ScanEntry(closed, name + u"=");
                ASSERT_EQ(found, at == std::u16string::npos ? 0 : 21) << Narrow(name);
                if (at != std::u16string::npos && kind == 1) {
                    const size_t v = at + name.size() + 1;
                    EXPECT_EQ(Narrow(buffer), Narrow(closed.substr(v, closed.find(u';', v) - v)));
                }
            } else if (what < 15) {
                const std::u16string text = pick(kTexts);
                std::u16string got = text;
                ASSERT_TRUE(ExpandFunctions(got));
                ASSERT_EQ(Narrow(got), Narrow(ScanExpand(Funcs(), text))) << Narrow(text);
            } else if (what < 17) {
                // Even seeds check rarely, so that many entries are new at each check.
                if (seed % 2 == 0 && rng() % 16 != 0) continue;
                const std::u16string name = ScanAmbiguous(Funcs());
                const int32_t code = CheckFunctions();
                if (Funcs().empty()) continue;
                ASSERT_EQ(code, name.empty() ? -1 : 1) << Narrow(Funcs());
                if (!name.empty()) {
                    EXPECT_NE(Engine().errors.ErrMsgs.find(u"Funct: " + name + u"\r\n"),
                              std::u16string::npos);
                }
            } else if (what < 18) {
                ClearVarFuncList(kind == 0 ? u"vars" : u"funct");
                ASSERT_TRUE((kind == 0 ? Vars() : Funcs()).empty());
            } else {
                // Written behind the index's back: it must notice and follow.
                (kind == 0 ? Vars() : Funcs()) += u"zz=7;";
            }
        }
    }
}

TEST_F(Lists, ManyNamesKeepTheirTextOrderAndValues) {
    std::u16string expected;
    for (int i = 0; i < 2000; ++i) {
        const std::u16string n = IntText(i);
        ASSERT_EQ(SetVarFunct(u"v" + n, n, 0), i + 1);
        expected += u"v" + n + u"=" + n + u";";
    }
    EXPECT_EQ(SetVarFunct(u"V7", u"70.5", 0), 2000); // in place, the rest shifted
    expected.replace(expected.find(u"v7=7;"), 5, u"v7=70.5;");
    EXPECT_EQ(Vars(), expected);
    EXPECT_EQ(Value(u"v7+v1999"), 70.5 + 1999);
    EXPECT_EQ(Value(u"v8"), 8);
}

TEST_F(Lists, ResetAndClearEmptyTheIndexToo) {
    SetVarFunct(u"x", u"3", 0);
    SetVarFunct(u"f", u"x*2", 1);
    EXPECT_EQ(Value(u"f+1"), 7);
    ClearVarFuncList(u"FUNCT");
    EXPECT_EQ(Code(u"f+1"), 4);
    ReSetZiZoruze();
    EXPECT_EQ(Code(u"x"), 4);
    EXPECT_EQ(SetVarFunct(u"x", u"4", 0), 2); // ";x=4;" after the lookup above
    EXPECT_EQ(Value(u"x"), 4);
}

TEST_F(Lists, ManyFunctionsExpandInListOrderAndCheckTheFirstClash) {
    // A body may use a function defined after it. Bracketed names without parameters
    // are text macros, whose names clash.
    SetVarFunct(u"p(1)", u"q(1)+1", 1);
    for (int i = 0; i < 500; ++i)
        SetVarFunct(u"u" + IntText(i) + u"(1)", u"x", 1);
    SetVarFunct(u"q(1)", u"x*10", 1);
    SetVarFunct(u"x", u"2", 0);
    EXPECT_EQ(Value(u"p(1)"), 21);
    EXPECT_EQ(CheckFunctions(), 1); // "q(1)" occurs in the body of "p(1)"
    EXPECT_NE(Engine().errors.ErrMsgs.find(u"Funct: q(1)\r\n"), std::u16string::npos);
    SetVarFunct(u"p(1)", u"x+1", 1); // redefined in place: no clash left
    EXPECT_EQ(CheckFunctions(), -1);
    SetVarFunct(u"r(1)", u"q(1)+u7(1)", 1); // two clashes: the earlier entry is named
    EXPECT_EQ(CheckFunctions(), 1);
    EXPECT_NE(Engine().errors.ErrMsgs.find(u"Funct: u7(1)\r\n"), std::u16string::npos);
}

TEST_F(Lists, NewNameFoundInTheTextOfOlderEntries) {
    // Checked between definitions, the new entries are checked against the older text:
    // one at a time, and many at once.
    for (int batch : {1, 30}) {
        SCOPED_TRACE("batch " + std::to_string(batch));
        ResetContext();
        SetVarFunct(u"p(1)", u"w(1)+1", 1);
        for (int i = 0; i < 20; ++i)
            SetVarFunct(u"u" + IntText(i) + u"(1)", u"x", 1);
        EXPECT_EQ(CheckFunctions(), -1);
        for (int i = 0; i + 1 < batch; ++i)
            SetVarFunct(u"v" + IntText(i) + u"(1)", u"2", 1);
        SetVarFunct(u"w(1)", u"3", 1);
        EXPECT_EQ(CheckFunctions(), 1);
        EXPECT_NE(Engine().errors.ErrMsgs.find(u"Funct: w(1)\r\n"), std::u16string::npos);
    }
}

TEST_F(Lists, CallsOfFunctionsWithParametersAreNoClash) {
    SetVarFunct(u"sq(x)", u"x*x", 1);
    SetVarFunct(u"quad(x)", u"sq(x)+sq(1)", 1);
    EXPECT_EQ(CheckFunctions(), -1);
    double v = 0;
    EXPECT_EQ(EvalExpression(u"quad(3)", &v, true), 0);
    EXPECT_EQ(v, 10);
    SetVarFunct(u"sq", u"2", 1); // a macro named like the function still clashes
    EXPECT_EQ(CheckFunctions(), 1);
    EXPECT_NE(Engine().errors.ErrMsgs.find(u"Funct: sq\r\n"), std::u16string::npos);
}

} // namespace
} // namespace zorbit::test
