#include "engine/tokenizer.h"
#include "engine/variables.h"
#include "engine_fixture.h"

namespace zorbit::test {
namespace {

class Tokenizer : public EngineTest {
  protected:
    // Types and texts of every token of `expr`, as "type:text" items.
    static std::vector<std::string> Tokens(std::u16string_view expr) {
        ParserState& ps = Engine().parser;
        ps.e_expr.assign(expr);
        StartTokenizer();
        std::vector<std::string> out;
        for (int guard = 0; guard < 100; ++guard) {
            e_nxt();
            if (ps.type == Tok::End) break;
            std::string item = Narrow(ps.TypeText()) + ":" + Narrow(ps.TokText());
            if (ps.e_suffix) {
                item += '/';
                item += static_cast<char>(ps.e_suffix);
            }
            out.push_back(item);
        }
        return out;
    }
    using V = std::vector<std::string>;
};

TEST_F(Tokenizer, SplitsAsTheLanguageReads) {
    struct Row {
        std::u16string_view expr;
        V tokens;
    } rows[] = {
        {u"  2 +\t3\r\n", {"num:2", "+:+", "num:3"}},
        {u"SIN(X)", {"id:sin", "(:(", "id:x", "):)"}},
        {u"1e5 6.02E23 2.5e-3 1E+10 .5e3",
         {"num:1e5", "num:6.02E23", "num:2.5e-3", "num:1E+10", "num:.5e3"}},
        // No digits after the e (or its sign): the e is the constant, as before.
        {u"2e 2e-x 2e+ e5 .e5",
         {"num:2", "num:2.7182818285", "num:2", "num:2.7182818285", "-:-", "id:x", "num:2",
          "num:2.7182818285", "+:+", "id:e5", "num:.", "id:e5"}},
        {u"1.2.3e4 2e3e4", {"num:1.2.3e4", "num:2e3", "id:e4"}},
        {u".5 1.2.3", {"num:.5", "num:1.2.3"}},
        {u"[mA]i", {"matrix:[mA]/I"}},
        {u"[mA] i", {"matrix:[mA]", "id:i"}},
        {u"<> <= >= >> =<", {"<>:<>", "<=:<=", ">=:>=", ">>:>>", "=:=", "<:<"}},
        {u"#PI PI", {"const:#pi", "num:3.1415926536"}},
        {u"& !", {"hex:&", "bin:!"}},
        {u"&Ff_1 !0123", {"hex:&Ff_1", "bin:!0123"}},
        {u"and mod det count eqv imp",
         {"and:and", "mod:mod", "det:det", "count:count", "eqv:eqv", "imp:imp"}},
        {u"[unclosed", {"matrix:[unclosed"}},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(Narrow(r.expr));
        EXPECT_EQ(Tokens(r.expr), r.tokens);
    }
}

TEST_F(Tokenizer, VariableReadsWithTenDecimals) {
    SetVarFunct(u"x", u"0.123456789012", 0);
    EXPECT_EQ(Tokens(u"x"), V{"num:0.1234567890"});
}

TEST_F(Tokenizer, UndefinedNameSetsErrorFour) {
    Tokens(u"e5");
    EXPECT_EQ(E_Error(), 4);
    EXPECT_NE(Engine().errors.ErrMsgs.find(u"Undefined Function = e5"), std::u16string::npos);
    // A later name, known or not, keeps the first error and adds no report.
    SetVarFunct(u"x", u"1", 0);
    for (std::u16string_view later : {u"sin", u"x", u"pi", u"foo"}) {
        SCOPED_TRACE(Narrow(later));
        Tokens(later);
        EXPECT_EQ(E_Error(), 4);
    }
    EXPECT_EQ(Engine().errors.ErrMsgs.find(u"Undefined Function = foo"), std::u16string::npos);
}

TEST_F(Tokenizer, MatchChecksThenMovesOn) {
    ParserState& ps = Engine().parser;
    ps.e_expr = u"+ 2";
    StartTokenizer();
    e_nxt();
    EXPECT_EQ(e_match(u")"), 6);
    EXPECT_NE(Engine().errors.ErrMsgs.find(u"Expected ), got '+'"), std::u16string::npos);
    EXPECT_EQ(ps.TokText(), u"2");
    // With an error pending, a mismatch does not overwrite it.
    EXPECT_EQ(e_match(u"("), 6);
}

} // namespace
} // namespace zorbit::test
