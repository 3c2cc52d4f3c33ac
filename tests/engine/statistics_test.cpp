#include "engine_fixture.h"

namespace zorbit::test {
namespace {

struct StatRow {
    const char* name;
    std::u16string_view expr;
    double value;
};

class Statistics : public EngineTest, public ::testing::WithParamInterface<StatRow> {};

TEST_P(Statistics, Reduces) {
    EXPECT_DOUBLE_EQ(Value(GetParam().expr), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    Keywords, Statistics,
    ::testing::Values(
        StatRow{"count", u"count(4; 5; 6)", 3}, StatRow{"sum", u"sum(1; 2; 3)", 6},
        StatRow{"sum2", u"sum2(1; 2; 3)", 14}, StatRow{"prod", u"prod(2; 3; 4)", 24},
        StatRow{"prod2", u"prod2(2; 3)", 36}, StatRow{"min_single", u"min(5)", 5},
        StatRow{"max_single", u"max(-5)", -5}, StatRow{"min", u"min(3; -1; 2)", -1},
        StatRow{"max", u"max(3; -1; 2)", 3}, StatRow{"avg", u"avg(1; 2; 3; 4)", 2.5},
        StatRow{"mean", u"mean(1; 2; 3; 4)", 2.5}, StatRow{"median_odd", u"median(3; 1; 2)", 2},
        StatRow{"median_even", u"median(4; 1; 3; 2)", 2.5}, StatRow{"median_one", u"median(7)", 7},
        StatRow{"median_eleven", u"median(11;10;9;8;7;6;5;4;3;2;1)", 6},
        StatRow{"geom_mean", u"geom_mean(2; 8)", 4},
        StatRow{"stddev", u"stddev(2; 4; 4; 4; 5; 5; 7; 9)", 2.138089935299395},
        StatRow{"decimal_comma", u"sum(1,5; 2)", 3.5}, StatRow{"formulas", u"sum(1+1; 2*3)", 8},
        StatRow{"nested", u"sum(1; max(2; 5); 3)", 9},
        StatRow{"many_values",
                u"count(1;2;3;4;5;6;7;8;9;10;11;12;13;14;15;16;17;18;19;20;21;22;23;24;25;26;27;28;"
                u"29;30;31;32;33;34;35)",
                35},
        StatRow{"in_expression", u"2*avg(1; 3)+1", 5}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Statistics, StddevOfOneValueFails) {
    EXPECT_EQ(Code(u"stddev(3)"), 13);
}
TEST_F(Statistics, ErrorInsideListSurvives) {
    EXPECT_EQ(Code(u"sum(1; 1/0; 2)"), 8);
}
TEST_F(Statistics, MissingCloseBracket) {
    EXPECT_EQ(Code(u"sum(1; 2"), 6);
}

} // namespace
} // namespace zorbit::test
