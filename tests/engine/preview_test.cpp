// The last answer ("ans") and the evaluation without effects that previews use.
#include <cmath>
#include <string>
#include <tuple>
#include <vector>

#include "common/number_text.h"
#include "context/names.h"
#include "context/preview.h"
#include "engine/errors.h"
#include "engine/host_hooks.h"
#include "engine/variables.h"
#include "engine_fixture.h"
#include "matrix/store.h"

namespace zorbit::test {
namespace {

class AnswerTest : public EngineTest {};

TEST_F(AnswerTest, StandsForTheLastAnswerUnlessAVariableHasItsName) {
    struct Row {
        const char* name;
        bool set;
        double answer;
        const char16_t* variable; // a variable named ans, or null
        std::u16string_view expr;
        int32_t code;
        double value;
    };
    const Row rows[] = {
        {"answer", true, 5, nullptr, u"ans*2", 0, 10},
        {"any_case", true, 5, nullptr, u"ANS+Ans", 0, 10},
        {"zero_is_an_answer", true, 0, nullptr, u"ans+1", 0, 1},
        {"variable_wins", true, 5, u"7", u"ans*2", 0, 14},
        {"none_set_is_undefined", false, 0, nullptr, u"ans*2", ZORBIT_E_UNDEFINED_FUNCTION, 0},
        {"a_longer_name_is_another", true, 5, nullptr, u"answer", ZORBIT_E_UNDEFINED_FUNCTION, 0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        ResetContext();
        if (r.set) {
            ASSERT_EQ(SetLastAnswer(r.answer, true), ZORBIT_NO_ERROR);
        }
        if (r.variable) {
            SetVarFunct(u"ans", r.variable, 0);
            ASSERT_EQ(E_Error(), ZORBIT_NO_ERROR);
        }
        double v = 0;
        EXPECT_EQ(EvalExpression(r.expr, &v, true), r.code);
        if (r.code == 0) {
            EXPECT_EQ(v, r.value);
        }
    }
}

TEST_F(AnswerTest, AFormulaReadAgainSeesANewAnswer) {
    // The third reading of the same text runs its compiled program: it must not keep
    // the answer it was compiled with.
    for (double answer : {1.0, 2.0, 3.0, 4.0, 3.0}) {
        SetLastAnswer(answer, true);
        EXPECT_EQ(Value(u"ans*10"), answer * 10);
    }
}

TEST_F(AnswerTest, ClassicReadsItAsAVariableFullWhole) {
    SetLastAnswer(1.0 / 3.0, true);
    EXPECT_EQ(Value(u"ans"), RoundTo10(1.0 / 3.0));
    SetPrecisionMode(ZORBIT_PRECISION_FULL);
    EXPECT_EQ(Value(u"ans"), 1.0 / 3.0);
}

TEST_F(AnswerTest, ANumberThatIsNotFiniteIsRefusedAndResetForgets) {
    SetLastAnswer(2, true);
    EXPECT_EQ(SetLastAnswer(INFINITY, true), ZORBIT_E_INVALID_ARGUMENT);
    EXPECT_EQ(SetLastAnswer(NAN, true), ZORBIT_E_INVALID_ARGUMENT);
    double v = 0;
    ASSERT_TRUE(GetLastAnswer(&v));
    EXPECT_EQ(v, 2);
    ReSetZiZoruze();
    EXPECT_FALSE(GetLastAnswer(&v));
    EXPECT_EQ(Code(u"ans"), ZORBIT_E_UNDEFINED_FUNCTION);
    SetLastAnswer(2, true);
    SetLastAnswer(9, false);
    EXPECT_FALSE(GetLastAnswer(&v));
}

TEST_F(AnswerTest, TheNameListShowsItWhileNoVariableHidesIt) {
    EXPECT_EQ(NameList().find(u"answer\t"), std::u16string::npos);
    SetLastAnswer(2.5, true);
    EXPECT_NE(NameList().find(u"answer\tans\t2.5\r\n"), std::u16string::npos);
    SetVarFunct(u"ans", u"1", 0);
    EXPECT_EQ(NameList().find(u"answer\t"), std::u16string::npos);
}

// What a preview may not change.
auto Snapshot() {
    const EngineState& e = Engine();
    std::u16string matrices;
    for (const MatrixEntry& m : Matrices().arrList)
        matrices += m.Name + (m.Internal ? u"*" : u"") + u";";
    return std::make_tuple(
        e.vars.VarList, e.vars.FuncList, e.errors.ErrMsgs, e.errors.LastErrInfo, e.errors.DebugLog,
        std::u16string(e.parser.text), matrices, e.errors.e_error, e.errors.errorPos,
        e.eval.ResultType, e.errors.DebugMode, e.errors.MsgFlags, e.rngState,
        e.eval.lastMatrixResult, e.eval.answer, e.eval.hasAnswer, Hooks().silent);
}

int g_boxes = 0;
int32_t CountBox(const char16_t*, const char16_t*, int32_t, int32_t answer) {
    ++g_boxes;
    return answer;
}

class PreviewTest : public EngineTest {
  protected:
    void SetUp() override {
        EngineTest::SetUp();
        // A state with something in every part: variables, a function, a matrix, a kept
        // matrix result, an earlier failure with its records, a debug log, an answer.
        SetVarFunct(u"x", u"3", 0);
        SetVarFunct(u"f", u"x*2", 1);
        SetVarFunct(u"dbl(t)", u"t+t", 1);
        ASSERT_EQ(E_Error(), ZORBIT_NO_ERROR);
        SetStrMatrix(u"[a]; 2; 2; 1; 2; 3; 4", false, true);
        double v = 0;
        ASSERT_EQ(EvalExpression(u"[a]*2", &v, false), 1);
        ASSERT_EQ(EvalExpression(u"1+", &v, false), ZORBIT_E_PARSER_SYNTAX);
        Engine().errors.DebugMode = 4;
        Engine().errors.DebugLog = u"kept";
        SetLastAnswer(7, true);
        SetMessageBoxHandler(&CountBox);
        g_boxes = 0;
    }
};

// Whatever the line, and whether its work runs out or not, nothing is left behind.
TEST_F(PreviewTest, LeavesNothingBehindAndStopsWhenTheWorkRunsOut) {
    std::u16string list = u"sum(1", big = u"[big]; 60; 60";
    for (int k = 0; k < 2000; ++k)
        list += u";1";
    list += u")";
    for (int k = 0; k < 3600; ++k)
        big += u"; 1";
    SetStrMatrix(big, false, true);
    ASSERT_EQ(E_Error(), ZORBIT_NO_ERROR);
    // Calls of dbl nested n deep expand to 2^n copies of their argument.
    const auto nested = [](size_t n) {
        std::u16string s;
        for (size_t k = 0; k < n; ++k)
            s += u"dbl(";
        return s + u"1" + std::u16string(n, u')');
    };
    const std::u16string deep = nested(20), shallow = nested(8);
    const struct Row {
        const char* name;
        std::u16string expr;
        int64_t work;
        int32_t code;
        bool cut; // the work ran out (code 0 then is error 0, not a number)
    } rows[] = {
        {"number", u"x*2+ans", 100000, 0, false},
        {"function", u"f+1", 100000, 0, false},
        {"random", u"rnd(1)", 100000, 0, false},
        {"matrix", u"[a]*[a]", 100000, 1, false},
        {"matrix_function", u"det([a])", 100000, 0, false},
        {"syntax_error", u"2*(3", 100000, ZORBIT_E_TOKEN_MATCH, false},
        {"undefined_name", u"y+1", 100000, ZORBIT_E_UNDEFINED_FUNCTION, false},
        {"missing_matrix", u"[b]*2", 100000, ZORBIT_E_MATRIX_NOT_FOUND, false},
        {"division_by_zero", u"1/0", 100000, ZORBIT_E_DIVISION_BY_ZERO, false},
        {"empty", u"", 100000, ZORBIT_E_PARSER_SYNTAX, false},
        {"list_within", list, 200000, 0, false},
        {"list_past", list, 20000, ZORBIT_E_UNDEFINED, true},
        {"matrix_past", u"[big]*2", 100000, ZORBIT_E_UNDEFINED, true},
        {"matrix_power_past", u"[big]^50", 400000, ZORBIT_E_UNDEFINED, true},
        {"matrix_power_within", u"[a]^50", 400000, 1, false},
        {"calls_within", shallow, 100000, 0, false},
        {"calls_past", deep, 400000, ZORBIT_E_UNDEFINED, true},
        {"unbounded", u"[big]^3", -1, 1, false},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        const auto before = Snapshot();
        ZorbitPreview out{};
        EXPECT_EQ(PreviewExpression(r.expr, r.work, &out), r.code);
        EXPECT_EQ(out.cutOff, r.cut ? 1 : 0);
        EXPECT_EQ(out.error, r.cut ? ZORBIT_E_UNDEFINED : (r.code > 1 ? r.code : ZORBIT_NO_ERROR));
        EXPECT_EQ(Snapshot(), before);
        EXPECT_EQ(g_boxes, 0);
        // The kept matrix result is still there for its caller; the bound is the preview's.
        EXPECT_NE(FindMatrixByValue(Engine().eval.lastMatrixResult, false), nullptr);
        EXPECT_EQ(Engine().eval.workLeft, -1);
    }
}

TEST_F(PreviewTest, AnswersValueShapeOrFailure) {
    ZorbitPreview out{};
    EXPECT_EQ(PreviewExpression(u"x*2+ans", -1, &out), 0);
    EXPECT_EQ(out.value, 13);
    EXPECT_EQ(PreviewExpression(u"[a]*[a]", -1, &out), 1);
    EXPECT_EQ(out.rows, 2);
    EXPECT_EQ(out.cols, 2);
    EXPECT_EQ(PreviewExpression(u"2+qq", -1, &out), ZORBIT_E_UNDEFINED_FUNCTION);
    EXPECT_EQ(out.errorPos, 2);
    EXPECT_EQ(std::u16string(out.message), std::u16string(ErrorDescription(4)).substr(0, 159));
}

TEST_F(PreviewTest, HooksStaySilentOnlyDuringIt) {
    // A matrix result with boxes on shows one through e_eval: the preview shows none.
    Engine().errors.DebugMode = 2;
    Engine().errors.MsgFlags = 2;
    ZorbitPreview out{};
    PreviewExpression(u"[a]*2", -1, &out);
    EXPECT_EQ(g_boxes, 0);
    double v = 0;
    EvalExpression(u"[a]*3", &v, false);
    EXPECT_GT(g_boxes, 0);
}

} // namespace
} // namespace zorbit::test
