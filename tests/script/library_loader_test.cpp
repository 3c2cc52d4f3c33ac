#include <dlfcn.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "script/library_client.h"
#include "script/library_loader.h"
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
        const FnAny slot = SlotByName(b.slots, n.name);
        const bool expected = n.group != 3 || kProvidedInGroupThree.count(std::string(n.name)) > 0;
        EXPECT_EQ(slot != nullptr, expected);
        // The lookup finds the slot of that very name.
        EXPECT_EQ(reinterpret_cast<void*>(slot), dlsym(b.handle, std::string(n.name).c_str()));
    }
    for (const char* unknown : {"", "E_EVAL", "e_eva", "e_evalx", "zzz"})
        EXPECT_EQ(SlotByName(b.slots, unknown), nullptr) << unknown;
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

// What the loader says when it cannot load a library, and what it leaves behind.
struct FailureRow {
    const char* name;
    std::string path;
};

TEST(Binding, AFailedLoadIsReportedAndLeavesNoBinding) {
    const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
    for (const FailureRow& row :
         {FailureRow{"missing_file", "/nonexistent/libzorbit.so"},
          FailureRow{"a_program_not_a_library", self}, FailureRow{"a_folder", "/"}}) {
        SCOPED_TRACE(row.name);
        LibraryBinding b;
        b.bound = 7;
        std::string why, error;
        EXPECT_FALSE(OpenBinding(b, row.path, why));
        // The system loader's own reason, naming the file.
        EXPECT_NE(why.find(row.path + ": cannot"), std::string::npos) << why;
        EXPECT_EQ(b.handle, nullptr);
        EXPECT_EQ(b.bound, 0);
        EXPECT_EQ(b.slots.e_eval, nullptr);
        EXPECT_FALSE(LoadBindingFrom(b, row.path, error));
        EXPECT_EQ(error, "cannot load " + row.path + ": " + why);
    }
}

TEST(Binding, ALibraryWithoutTheRoutinesLoadsWithEmptySlotsAndCanBeLetGo) {
    LibraryBinding b;
    std::string why;
    ASSERT_TRUE(OpenBinding(b, "libc.so.6", why)) << why;
    EXPECT_NE(b.handle, nullptr);
    EXPECT_EQ(b.bound, 0);
    EXPECT_FALSE(Library(&b.slots).Has("e_eval"));
    CloseBinding(b);
    EXPECT_EQ(b.handle, nullptr);
    EXPECT_TRUE(b.path.empty());
}

TEST(Binding, CandidatesAreTheFolderFirstThenTheLibraryPath) {
    EXPECT_EQ(LibraryCandidates("/opt/x/"),
              (std::vector<std::string>{"/opt/x/libzorbit.so.0", "/opt/x/libzorbit.so",
                                        "libzorbit.so.0", "libzorbit.so"}));
    EXPECT_EQ(LibraryCandidates(""), (std::vector<std::string>{"libzorbit.so.0", "libzorbit.so"}));
    // This code is linked into the test program: its module is the program (named as it
    // was started).
    const std::string folder = ModuleFolder(reinterpret_cast<const void*>(&LibraryCandidates));
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), '/');
    EXPECT_EQ(std::filesystem::canonical(folder),
              std::filesystem::read_symlink("/proc/self/exe").parent_path());
    EXPECT_EQ(ModuleFolder(nullptr), "");
}

} // namespace
} // namespace vex::test
