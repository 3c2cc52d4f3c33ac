#pragma once
// The real library, bound by name, with its lists emptied and no error pending.

#include <gtest/gtest.h>

#include "tests/script/test_support.h"

namespace vex::test {

class PlotTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NE(Zorbit().handle, nullptr);
        if (slots.ReSetZiZoruze) slots.ReSetZiZoruze();
        if (slots.SetE_Error) slots.SetE_Error(-1);
    }
    const EntrySlots& slots = Zorbit().slots;
};

} // namespace vex::test
