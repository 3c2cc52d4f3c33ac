// libzorbit.so's calling contract: from several threads at once, every call sees the shared
// state alone; from inside one of the library's own hooks, a call is refused and leaves the
// evaluation that called the hook as it would have been without it.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "zorbit/zorbit.h"

namespace {

std::u16string U(const std::string& s) {
    return std::u16string(s.begin(), s.end());
}

std::u16string Records() {
    std::vector<char16_t> buffer(1 << 16);
    GetErrorMsgs(buffer.data(), static_cast<int32_t>(buffer.size()), 0);
    return buffer.data();
}

// ---- Threads

struct Known {
    const char16_t* formula;
    double value;
};
const Known kKnown[] = {
    {u"2+3*4", 14},
    {u"(1+2)*(3+4)/5-6^2", -31.8},
    {u"((((1+2)*3)+4)*5)", 65},
    {u"sqrt(16)+2^10", 1028},
    {u"avg(1;2;3;4;5)", 3},
    {u"max(4;9;2)-min(4;9;2)", 7},
    {u"det([mShared])", -2},
    {u"shared*3", 7.5},
};

bool Near(double got, double want) {
    return std::fabs(got - want) <= 1e-12 * std::max(1.0, std::fabs(want));
}

// The first wrong answer of any thread, and how many there were.
class Tally {
  public:
    void Wrong(const std::string& what) {
        if (wrong_.fetch_add(1) == 0) {
            const std::lock_guard<std::mutex> hold(mutex_);
            first_ = what;
        }
    }
    int count() const { return wrong_.load(); }
    std::string first() {
        const std::lock_guard<std::mutex> hold(mutex_);
        return first_;
    }

  private:
    std::atomic<int> wrong_{0};
    std::mutex mutex_;
    std::string first_;
};

// Each thread owns a variable and a matrix that only it writes, and reads the shared ones;
// every fourth call is a syntax error. 10,000 e_eval calls per thread.
void Worker(int t, int rounds, int32_t syntaxCode, Tally& tally) {
    const std::string tag(1, static_cast<char>('a' + t));
    const std::u16string var = U("v" + tag), matrix = U("[m" + tag + "]");
    const std::u16string varFormula = var + u"*2+1", detFormula = u"det(" + matrix + u")";
    const size_t known = sizeof kKnown / sizeof kKnown[0];
    for (int i = 0; i < rounds; ++i) {
        double v = 0;
        int32_t code = 0;
        double want = 0;
        std::u16string what;
        switch (i % 4) {
        case 0: {
            const Known& k = kKnown[(static_cast<size_t>(i) / 4 + static_cast<size_t>(t)) % known];
            what = k.formula;
            want = k.value;
            code = e_eval(k.formula, &v, 0);
            break;
        }
        case 1:
            SetVarFunct(var.c_str(), U(std::to_string(i)).c_str(), 0);
            what = varFormula;
            want = 2.0 * i + 1;
            code = e_eval(varFormula.c_str(), &v, 0);
            break;
        case 2: {
            const std::u16string def = matrix + u";2;2;" + U(std::to_string(i)) + u";1;1;1";
            if (SetStrMatrix(def.c_str(), 0, 1, 0) < 0) tally.Wrong("matrix not defined");
            what = detFormula;
            want = i - 1.0;
            code = e_eval(detFormula.c_str(), &v, 0);
            break;
        }
        default:
            code = e_eval(u"1+*2", &v, 0);
            if (code != syntaxCode)
                tally.Wrong("thread " + std::to_string(t) + ": 1+*2 gave code " +
                            std::to_string(code));
            if (GetVarFuncListLen(u"vars") <= 0) tally.Wrong("the variable list is empty");
            continue;
        }
        if (code != 0 || !Near(v, want))
            tally.Wrong("thread " + std::to_string(t) + " round " + std::to_string(i) + ": code " +
                        std::to_string(code) + ", value " + std::to_string(v) + ", want " +
                        std::to_string(want) + " (formula of " + std::to_string(what.size()) +
                        " characters)");
    }
}

TEST(LibraryThreads, EightThreadsGetEveryResultRight) {
    ReSetZiZoruze();
    ASSERT_GE(SetStrMatrix(u"[mShared];2;2;1;2;3;4", 0, 1, 0), 0);
    ASSERT_EQ(SetVarFunct(u"shared", u"2.5", 0) > 0, true);
    double v = 0;
    const int32_t syntaxCode = e_eval(u"1+*2", &v, 0);
    ASSERT_GT(syntaxCode, 1); // an error code, never a number or a matrix
    for (const Known& k : kKnown) {
        ASSERT_EQ(e_eval(k.formula, &v, 0), 0) << std::u16string(k.formula).size();
        ASSERT_TRUE(Near(v, k.value)) << v << " for a formula of value " << k.value;
    }

    constexpr int kThreads = 8, kRounds = 10000;
    Tally tally;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back(Worker, t, kRounds, syntaxCode, std::ref(tally));
    for (std::thread& th : threads)
        th.join();
    EXPECT_EQ(tally.count(), 0) << tally.first();

    // What each thread left: its own variable and matrix at their last values.
    for (int t = 0; t < kThreads; ++t) {
        const std::string tag(1, static_cast<char>('a' + t));
        ASSERT_EQ(e_eval(U("v" + tag).c_str(), &v, 0), 0);
        EXPECT_EQ(v, kRounds - 3);
        ASSERT_EQ(e_eval(U("det([m" + tag + "])").c_str(), &v, 0), 0);
        EXPECT_EQ(v, kRounds - 2 - 1.0);
    }
}

// ---- Hooks calling back

// What a hook tried, and what the library answered it.
struct Nested {
    int calls = 0;
    int32_t eval = 0, error = 0, setError = 0, setVar = 0, reset = 0;
    double deEval = 0;
    const char16_t* descr = nullptr;
};
Nested g_nested;
bool g_callBack = false;

void CallBack() {
    ++g_nested.calls;
    if (!g_callBack) return;
    double v = 0;
    g_nested.eval = e_eval(u"2+2", &v, 0);
    g_nested.deEval = de_eval(u"2+2", 0);
    g_nested.error = GetE_Error();
    g_nested.setError = SetE_Error(ZORBIT_NO_ERROR);
    g_nested.setVar = SetVarFunct(u"fromHook", u"1", 0);
    g_nested.reset = ReSetZiZoruze();
    g_nested.descr = GetE_ErrDescr(-99, 1);
}

int32_t Box(const char16_t*, const char16_t*, int32_t, int32_t) {
    CallBack();
    return ZORBIT_ID_YES; // GetErrorMsgs(show): Yes puts the records on the clipboard
}
int32_t Clipboard(const char16_t*) {
    CallBack();
    return 1;
}

// What the outer call left, to compare with the same call made without calling back.
struct Outcome {
    int32_t code = 0;
    double value = 0;
    int32_t error = 0;
    std::u16string records;
    double hookedVariable = 0;
    int32_t hookedFound = 0;
};

struct HookRow {
    const char* name;
    bool viaClipboard; // GetErrorMsgs(show) after the evaluation: box, then clipboard
    const char16_t* formula;
};

class HookCallsBack : public ::testing::TestWithParam<HookRow> {
  protected:
    static Outcome Run(const HookRow& row, bool callBack) {
        ReSetZiZoruze();
        g_nested = {};
        g_callBack = callBack;
        SetMessageBoxHook(&Box);
        SetClipboardHook(&Clipboard);
        const int32_t debug = SetDebugF(2);
        ShowMsgs(1);
        SetVarFunct(u"x", u"3", 0);
        Outcome o;
        o.code = e_eval(row.formula, &o.value, 0);
        if (row.viaClipboard) {
            char16_t shown[8];
            GetErrorMsgs(shown, 8, 1);
        }
        o.error = GetE_Error();
        o.records = Records();
        ShowMsgs(0);
        SetDebugF(debug);
        SetMessageBoxHook(nullptr);
        SetClipboardHook(nullptr);
        g_callBack = false;
        o.hookedFound = FindVarFunct(u"fromHook", 0, &o.hookedVariable, nullptr);
        return o;
    }
};

TEST_P(HookCallsBack, IsRefusedAndTheOuterCallIsAsWithoutIt) {
    const Outcome quiet = Run(GetParam(), false);
    ASSERT_GT(g_nested.calls, 0) << "the hook was never called";
    const Outcome nested = Run(GetParam(), true);
    ASSERT_GT(g_nested.calls, 0);

    EXPECT_EQ(nested.code, quiet.code);
    EXPECT_EQ(nested.value, quiet.value);
    EXPECT_EQ(nested.error, quiet.error);
    EXPECT_EQ(nested.records, quiet.records);
    EXPECT_EQ(nested.hookedFound, 0) << "a refused SetVarFunct defined a variable";
    double x = 0;
    EXPECT_EQ(FindVarFunct(u"x", 0, &x, nullptr), ZORBIT_FOUND)
        << "a refused ReSetZiZoruze cleared the variables";

    // Every call from the hook was refused: the codes say so, the rest answer as a failure.
    EXPECT_EQ(g_nested.eval, ZORBIT_E_REENTERED);
    EXPECT_EQ(g_nested.deEval, ZORBIT_E_REENTERED);
    EXPECT_EQ(g_nested.error, ZORBIT_E_REENTERED);
    EXPECT_EQ(g_nested.setError, ZORBIT_E_REENTERED);
    EXPECT_EQ(g_nested.setVar, 0);
    EXPECT_EQ(g_nested.reset, 0);
    ASSERT_NE(g_nested.descr, nullptr);
    EXPECT_EQ(g_nested.descr[0], u'\0');

    // Once out of the hook the thread calls the library as before.
    double v = 0;
    EXPECT_EQ(e_eval(u"2+2", &v, 0), 0);
    EXPECT_EQ(v, 4);
    EXPECT_EQ(GetE_Error(), ZORBIT_NO_ERROR);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, HookCallsBack,
    ::testing::Values(HookRow{"debug_box_on_a_syntax_error", false, u"1+*2"},
                      HookRow{"debug_box_on_a_division_by_zero", false, u"x/0+1"},
                      HookRow{"clipboard_after_the_records_box", true, u"1+*2"},
                      HookRow{"clipboard_after_a_good_formula", true, u"x*2"}),
    [](const ::testing::TestParamInfo<HookRow>& info) { return std::string(info.param.name); });

// A hook holds the library for another thread too: that thread's call waits for the
// call that shows the box, and then runs.
std::thread g_waiter;
std::atomic<bool> g_waiterDone{false};
bool g_doneDuringHook = true;
int32_t g_waiterCode = 0;
double g_waiterValue = 0;

int32_t BoxStartingAWaiter(const char16_t*, const char16_t*, int32_t, int32_t) {
    if (!g_waiter.joinable()) {
        g_waiter = std::thread([] {
            g_waiterCode = e_eval(u"6*7", &g_waiterValue, 0);
            g_waiterDone = true;
        });
        // Time for the waiter to reach the lock and sleep on it.
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        g_doneDuringHook = g_waiterDone.load();
    }
    return ZORBIT_ID_OK;
}

TEST(LibraryHooks, AnotherThreadWaitsForTheCallThatShowsABox) {
    ReSetZiZoruze();
    SetMessageBoxHook(&BoxStartingAWaiter);
    const int32_t debug = SetDebugF(2);
    ShowMsgs(1);
    double v = 0;
    const int32_t code = e_eval(u"1+*2", &v, 0);
    ShowMsgs(0);
    SetDebugF(debug);
    SetMessageBoxHook(nullptr);
    ASSERT_TRUE(g_waiter.joinable()) << "the box was never shown";
    g_waiter.join();
    EXPECT_FALSE(g_doneDuringHook) << "the other thread's call ran while the box was shown";
    EXPECT_EQ(code, ZORBIT_E_PARSER_SYNTAX);
    EXPECT_EQ(g_waiterCode, 0);
    EXPECT_EQ(g_waiterValue, 42);
}

TEST(LibraryHooks, TheRefusedCodeHasItsDescription) {
    const std::u16string text = GetE_ErrDescr(ZORBIT_E_REENTERED, 0);
    EXPECT_NE(text, std::u16string(GetE_ErrDescr(ZORBIT_E_UNDEFINED_COMMAND, 0)));
    EXPECT_NE(text.find(u"hook"), std::u16string::npos);
}

} // namespace
