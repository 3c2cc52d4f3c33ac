// The library's message box and clipboard reach the program's platform services
// through the one channel the program installs.

#include "platform/library_hooks.h"
#include "tests/script/test_support.h"

namespace vex::test {
namespace {

class LibraryHooksTest : public ScriptTest {
  protected:
    void SetUp() override {
        ScriptTest::SetUp();
        const EntrySlots& s = Zorbit().slots;
        setters = {s.SetMessageBoxHook, s.SetMessageWindowHook, s.SetClipboardHook};
        ASSERT_TRUE(setters.messageBox && setters.messageWindow && setters.clipboard);
    }
    void TearDown() override {
        RemoveLibraryHooks(setters);
        ScriptTest::TearDown();
    }
    // Asks the library for its error records with "show": a Yes/No box, Yes copies.
    void ShowErrorRecords() {
        auto getErrorMsgs =
            reinterpret_cast<decltype(&::GetErrorMsgs)>(SlotByName(Zorbit().slots, "GetErrorMsgs"));
        ASSERT_NE(getErrorMsgs, nullptr);
        char16_t buffer[64];
        getErrorMsgs(buffer, 64, 1);
    }
    LibraryHookSetters setters;
};

TEST_F(LibraryHooksTest, LibraryBoxesReachThePlatformBox) {
    InstallLibraryHooks(platform, setters);
    Zorbit().slots.aAbout(0);
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].rfind("About Zorbit.dll - : Library: Zorbit.dll", 0), 0u)
        << box.shown[0];
}

TEST_F(LibraryHooksTest, AnswerYesPutsTheRecordsOnThePlatformClipboard) {
    InstallLibraryHooks(platform, setters);
    box.forcedAnswer = ZORBIT_ID_YES;
    ShowErrorRecords();
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(clipboard.text.rfind("ERROR MESSAGES:", 0), 0u) << clipboard.text;
}

TEST_F(LibraryHooksTest, DefaultAnswerNoCopiesNothing) {
    InstallLibraryHooks(platform, setters);
    ShowErrorRecords();
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_TRUE(clipboard.text.empty());
}

TEST_F(LibraryHooksTest, RemovedHooksLeaveThePlatformAlone) {
    InstallLibraryHooks(platform, setters);
    RemoveLibraryHooks(setters);
    testing::internal::CaptureStderr();
    Zorbit().slots.aAbout(0);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(box.shown.empty());
    EXPECT_NE(err.find("About Zorbit.dll"), std::string::npos);
}

} // namespace
} // namespace vex::test
