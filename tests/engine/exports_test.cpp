// The C interface as the program uses it: open the library by name, bind, call.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <sstream>
#include <string>

#include "zorbit/zorbit.h"

namespace {

class Exports : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { lib_ = dlopen(ZORBIT_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL); }
    static void TearDownTestSuite() {
        if (lib_) dlclose(lib_);
    }
    template <typename F> static F Bind(const char* name) {
        return reinterpret_cast<F>(dlsym(lib_, name));
    }
    static void* lib_;
};
void* Exports::lib_ = nullptr;

TEST_F(Exports, EveryEngineExportResolvesByName) {
    ASSERT_NE(lib_, nullptr) << dlerror();
    const char* names[] = {"vexAttachProcess",
                           "vexAttachThread",
                           "vexDetachThread",
                           "vexDetachProcess",
                           "aAbout",
                           "DisplayVerInfo",
                           "TestStr",
                           "TestStrPtr",
                           "TestStrPtr2",
                           "e_eval",
                           "de_eval",
                           "e_evals",
                           "e_evalsEx",
                           "GetResultType",
                           "SetBoolSign",
                           "e_get_const",
                           "GetDiff_OperAndFuncs",
                           "GetE_Error",
                           "SetE_Error",
                           "GetE_ErrDescr",
                           "GetErrorMsgs",
                           "SetErrorMsgs",
                           "SetErrorMsgsF",
                           "GetDebugLog",
                           "SetDebugF",
                           "ShowMsgs",
                           "SetVarFunct",
                           "FindVarFunct",
                           "GetVarFuncList",
                           "GetVarFuncListLen",
                           "ClearVarFuncList",
                           "ReSetZiZoruze",
                           "StrD0",
                           "SetMessageBoxHook",
                           "SetMessageWindowHook",
                           "SetClipboardHook"};
    for (const char* n : names)
        EXPECT_NE(dlsym(lib_, n), nullptr) << n;
    // Internals stay hidden.
    EXPECT_EQ(dlsym(lib_, "_ZN6zorbit5e_prsEiRh"), nullptr);
}

// The public header is the contract: every name it declares must be bound by name.
TEST_F(Exports, EveryDeclaredExportResolves) {
    ASSERT_NE(lib_, nullptr);
    std::ifstream header(ZORBIT_HEADER_PATH);
    ASSERT_TRUE(header) << ZORBIT_HEADER_PATH;
    std::stringstream text;
    text << header.rdbuf();
    const std::string all = text.str();
    const std::regex decl(R"(\nZORBIT_API[^;(]*?\b(\w+)\s*\()");
    int count = 0;
    for (auto it = std::sregex_iterator(all.begin(), all.end(), decl); it != std::sregex_iterator();
         ++it) {
        const std::string name = (*it)[1];
        EXPECT_NE(dlsym(lib_, name.c_str()), nullptr) << name;
        ++count;
    }
    EXPECT_GT(count, 100);
}

TEST_F(Exports, NumericRoutinesByName) {
    ASSERT_NE(lib_, nullptr);
    auto integrate = Bind<decltype(&Integrate)>("Integrate");
    auto err = Bind<decltype(&GetE_Error)>("GetE_Error");
    double v = 0;
    EXPECT_EQ(integrate(u"x^2", 0, 3, 10, 0, u"x", &v), -1);
    EXPECT_NEAR(v, 9, 1e-9);
    EXPECT_NEAR(Bind<decltype(&dSolve)>("dSolve")(u"x^2-4*x+4", u"x"), 2, 1e-6);
    EXPECT_EQ(err(), -1);
    EXPECT_EQ(std::u16string(Bind<decltype(&lPoly_dydx)>("lPoly_dydx")(u"x^3-2*x", u"x")),
              u"3*x^2-2");
    EXPECT_EQ(err(), -1);
    EXPECT_EQ(std::u16string(Bind<decltype(&lPoly_dydx)>("lPoly_dydx")(u"", u"x")), u"");
    EXPECT_NE(err(), -1);
}

TEST_F(Exports, EvaluationRoundTrip) {
    ASSERT_NE(lib_, nullptr);
    auto eval = Bind<decltype(&e_eval)>("e_eval");
    auto err = Bind<decltype(&GetE_Error)>("GetE_Error");
    auto descr = Bind<decltype(&GetE_ErrDescr)>("GetE_ErrDescr");
    double v = 0;
    EXPECT_EQ(eval(u"2+3*4", &v, 0), 0);
    EXPECT_EQ(v, 14);
    EXPECT_EQ(err(), -1);
    EXPECT_EQ(eval(u"1/0", &v, 0), 8);
    EXPECT_EQ(std::u16string(descr(-99, 0)),
              u"Division by zero             (Module: eval & sDiff)");
}

int32_t boxes = 0;
int32_t CountingBox(const char16_t*, const char16_t*, int32_t, int32_t def) {
    ++boxes;
    return def;
}

TEST_F(Exports, StringPassingAndHooks) {
    ASSERT_NE(lib_, nullptr);
    Bind<decltype(&SetMessageBoxHook)>("SetMessageBoxHook")(&CountingBox);
    char16_t buf[12] = u"hello";
    EXPECT_EQ(Bind<decltype(&TestStrPtr)>("TestStrPtr")(buf), buf);
    EXPECT_EQ(std::u16string(buf), u"aaaaaaaaaaa");
    EXPECT_EQ(boxes, 2);
    EXPECT_EQ(std::u16string(Bind<decltype(&TestStr)>("TestStr")(u"x")), u"123");
    const std::u16string about = Bind<decltype(&aAbout)>("aAbout")(2);
    EXPECT_EQ(boxes, 4); // mode 2 shows nothing
    EXPECT_EQ(about.rfind(u"Library: Zorbit.dll\r\nVersion: ", 0), 0u);
    Bind<decltype(&SetMessageBoxHook)>("SetMessageBoxHook")(nullptr);
    EXPECT_EQ(std::u16string(Bind<decltype(&StrD0)>("StrD0")(u"2.5000000000")), u"2.5");
    char16_t fv[24] = u"untouched", pv[24] = u"";
    auto ver = Bind<decltype(&DisplayVerInfo)>("DisplayVerInfo");
    EXPECT_EQ(ver(u"/etc/hostname", fv, pv), 0);
    EXPECT_EQ(std::u16string(fv), u"untouched");
    EXPECT_EQ(ver(u"", fv, pv), 2);
    EXPECT_EQ(std::u16string(fv), std::u16string(VEX_VERSION_TEXT));
    char16_t help[8192];
    const int32_t bytes = Bind<decltype(&GetDiff_OperAndFuncs)>("GetDiff_OperAndFuncs")(help);
    EXPECT_EQ(static_cast<size_t>(bytes), (std::u16string(help).size() + 1) * 2);
}

} // namespace
