// The list of names (GetNameList): its line format, the two calls a caller makes, and
// that it names exactly what the tokenizer reads as built-in.
#include <set>
#include <string>
#include <vector>

#include "context/names.h"
#include "engine/function_table.h"
#include "engine/functions.h"
#include "engine/tokenizer.h"
#include "engine/variables.h"
#include "engine_fixture.h"
#include "matrix/store.h"

namespace zorbit::test {
namespace {

struct Line {
    std::u16string kind, name, description;
};

std::vector<Line> Lines(std::u16string_view list) {
    std::vector<Line> out;
    size_t start = 0;
    while (start < list.size()) {
        const size_t end = list.find(u"\r\n", start);
        EXPECT_NE(end, std::u16string_view::npos) << "a line without its CR LF";
        if (end == std::u16string_view::npos) break;
        const std::u16string_view line = list.substr(start, end - start);
        const size_t a = line.find(u'\t'), b = line.find(u'\t', a + 1);
        EXPECT_NE(b, std::u16string_view::npos) << Narrow(line);
        EXPECT_EQ(line.find(u'\t', b + 1), std::u16string_view::npos) << Narrow(line);
        if (b == std::u16string_view::npos) break;
        out.push_back({std::u16string(line.substr(0, a)),
                       std::u16string(line.substr(a + 1, b - a - 1)),
                       std::u16string(line.substr(b + 1))});
        start = end + 2;
    }
    return out;
}

class Names : public EngineTest {};

TEST_F(Names, TwoCallsFetchTheWholeList) {
    SetVarFunct(u"g", u"9.81", 0);
    SetVarFunct(u"hyp(a; b)", u"sqrt(a^2+b^2)", 1);
    SetVarFunct(u"area", u"pi*r^2", 1);
    SetVarFunct(u"tabs", u"1\t+\r\n2", 1);
    SetStrMatrix(u"[mA]; 2; 3; 1; 2; 3; 4; 5; 6", false, true);
    const int32_t n = CopyNameList(nullptr, 0);
    ASSERT_GT(n, 0);
    std::u16string buffer(static_cast<size_t>(n) + 1, u'?');
    EXPECT_EQ(CopyNameList(buffer.data(), n + 1), n);
    EXPECT_EQ(buffer[static_cast<size_t>(n)], u'\0');
    buffer.resize(static_cast<size_t>(n));
    EXPECT_EQ(buffer, NameList());
    for (std::u16string_view line : {
             u"function\tsin\tsine of x (x in radians)\r\n",
             u"function\tatn\tarctangent of x, in radians\r\n",
             u"constant\tpi\tpi, the ratio of a circle's circumference to its diameter = "
             u"3.141592653589793\r\n",
             u"statistics\tmax\tlargest of the arguments\r\n",
             u"matrixfunction\tdet\tdeterminant of a square matrix\r\n",
             u"operator\tmod\tremainder of a division\r\n",
             u"variable\tg\t9.81\r\n",
             u"userfunction\thyp\thyp(a; b) = sqrt(a^2+b^2)\r\n",
             u"userfunction\tarea\tarea = pi*r^2\r\n",
             u"userfunction\ttabs\ttabs = 1 +  2\r\n",
             u"matrix\t[ma]\t2 x 3\r\n",
         }) {
        EXPECT_NE(buffer.find(line), std::u16string::npos) << Narrow(line);
    }
    EXPECT_EQ(buffer.find(u"function\theaviside"), std::u16string::npos); // the derivative's only
    EXPECT_EQ(Lines(buffer).size(),
              static_cast<size_t>(std::count(buffer.begin(), buffer.end(), u'\n')));
}

TEST_F(Names, ShortRoomCopiesWholeLinesOnly) {
    SetVarFunct(u"g", u"9.81", 0);
    const std::u16string list = NameList();
    const int32_t n = static_cast<int32_t>(list.size());
    for (int32_t capacity : {1, 2, 3, 20, 60, n / 2, n - 1, n, n + 1}) {
        SCOPED_TRACE(capacity);
        std::u16string buffer(static_cast<size_t>(capacity) + 8, u'#');
        EXPECT_EQ(CopyNameList(buffer.data(), capacity), n);
        const size_t copied = std::char_traits<char16_t>::length(buffer.data());
        EXPECT_LT(copied, static_cast<size_t>(capacity));
        EXPECT_EQ(buffer.substr(0, copied), list.substr(0, copied));
        if (copied > 0) {
            EXPECT_EQ(buffer.substr(copied - 2, 2), u"\r\n");
        }
        EXPECT_GT(copied + 200, static_cast<size_t>(std::min(capacity, n + 1)) - 1)
            << "lines short";
        EXPECT_EQ(buffer.substr(static_cast<size_t>(capacity)), std::u16string(8, u'#'));
    }
    EXPECT_EQ(CopyNameList(nullptr, 50), n);
    char16_t one = u'#';
    EXPECT_EQ(CopyNameList(&one, 0), n);
    EXPECT_EQ(one, u'#'); // no room: nothing written
}

// Built-in lines name what the tokenizer reads as built-in, every name it reads is
// listed, and each is refused as a variable.
TEST_F(Names, BuiltInsMatchWhatTheTokenizerReads) {
    std::set<std::u16string> listed;
    for (const Line& line : Lines(NameList())) {
        SCOPED_TRACE(Narrow(line.kind + u" " + line.name));
        EXPECT_FALSE(line.description.empty());
        Fn fn;
        if (line.kind == u"function") {
            EXPECT_TRUE(LookupFunction(line.name, &fn));
            EXPECT_FALSE(LookupConstant(line.name, nullptr));
        } else if (line.kind == u"constant") {
            EXPECT_TRUE(LookupConstant(line.name, nullptr));
        } else {
            ASSERT_TRUE(line.kind == u"statistics" || line.kind == u"matrixfunction" ||
                        line.kind == u"operator");
            EXPECT_NE(KeywordOf(line.name), Kw::None);
        }
        EXPECT_FALSE(BuiltinKindOf(line.name).empty());
        EXPECT_TRUE(listed.insert(line.name).second) << "listed twice";
        E_Error() = -1;
        SetVarFunct(line.name, u"1", 0);
        EXPECT_EQ(E_Error(), 13);
    }
    EXPECT_TRUE(Engine().vars.VarList.empty());
    for (const FunctionRow& row : kFunctionRows)
        for (const FnSpelling& s : row.spellings)
            if (!s.name.empty() && (s.readers & kEvaluatorName) != 0) {
                EXPECT_TRUE(listed.count(std::u16string(s.name))) << Narrow(s.name);
            }
    EXPECT_EQ(std::count_if(listed.begin(), listed.end(),
                            [](const std::u16string& s) { return KeywordOf(s) != Kw::None; }),
              static_cast<long>(Kw::Xor));
}

} // namespace
} // namespace zorbit::test
