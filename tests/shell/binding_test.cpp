#include <gtest/gtest.h>

#include <set>
#include <string>

#include "script/slots.h"
#include "tests/script/test_support.h"

namespace vex::test {
namespace {

// The routines of the third group the library provides itself.
const std::set<std::string> kProvidedInGroupThree = {"Integrate", "dSolve", "lPoly_dydx"};

TEST(Binding, EveryExportedNameFillsItsSlot) {
    const LibraryBinding& b = Zorbit();
    ASSERT_NE(b.handle, nullptr);
    for (const SlotName& n : SlotNames()) {
        SCOPED_TRACE(std::string(n.name));
        const bool filled = SlotByName(b.slots, n.name) != nullptr;
        const bool expected = n.group != 3 || kProvidedInGroupThree.count(std::string(n.name)) > 0;
        EXPECT_EQ(filled, expected);
    }
}

TEST(Binding, RoundTripThroughTheSlots) {
    const EntrySlots& s = Zorbit().slots;
    ASSERT_NE(s.e_eval, nullptr);
    double v = 0;
    EXPECT_EQ(s.e_eval(u"2+3*4", &v, 1), 0);
    EXPECT_EQ(v, 14);
    EXPECT_EQ(s.GetE_Error(), -1);
    EXPECT_EQ(s.SetE_Error(25), 25);
    EXPECT_EQ(U8(s.GetE_ErrDescr(-99, 0)), "Undefined Command/Keyword    (Module: eval)");
    s.SetE_Error(-1);
}

TEST(Binding, MissingLibraryIsReported) {
    LibraryBinding b;
    std::string error;
    EXPECT_FALSE(LoadBindingFrom(b, "/nonexistent/libzorbit.so", error));
    EXPECT_NE(error.find("/nonexistent/libzorbit.so"), std::string::npos);
    EXPECT_EQ(b.handle, nullptr);
}

} // namespace
} // namespace vex::test
