#pragma once
// The real library bound by name, its lists emptied, no error pending, a temp folder.

#include "script/library_client.h"
#include "tests/script/test_support.h"

namespace vex::test {

class PlotTest : public ScriptTest {
  protected:
    const EntrySlots& slots = Zorbit().slots;
    const Library lib{&slots};
};

} // namespace vex::test
