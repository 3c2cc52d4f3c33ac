#include <gtest/gtest.h>

#include "script/run_log.h"
#include "tests/script/test_support.h"

namespace vex::test {
namespace {

class LogLineTest : public ScriptTest {};

TEST_F(LogLineTest, FirstWriteCreatesLaterOnesAppend) {
    WriteFile("run.log", "older run\r\n");
    host.batch.logF = true;
    host.batch.logFileN = U16(Path("run.log"));
    EXPECT_EQ(LogLine(host, u"one"), 1);
    host.batch.logFileN = U16(Path("other.log"));
    EXPECT_EQ(LogLine(host, u"two\r\n"), 1);
    EXPECT_EQ(ReadFile("run.log"), "one\r\ntwo\r\n");
    EXPECT_EQ(ReadFile("other.log"), "");
}

TEST_F(LogLineTest, OffOrNamelessWritesNothing) {
    EXPECT_EQ(LogLine(host, u"x"), 0);
    host.batch.logF = true;
    EXPECT_EQ(LogLine(host, u"x"), -1);
}

TEST_F(LogLineTest, UnopenableLogIsReportedOnceAndTheRunGoesOn) {
    host.batch.logF = true;
    host.batch.logFileN = U16(Path("no/such/folder/run.log"));
    testing::internal::CaptureStderr();
    EXPECT_EQ(LogLine(host, u"a"), -1);
    EXPECT_EQ(LogLine(host, u"b"), -1);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(err.find("cannot open the log file"), err.rfind("cannot open the log file"));
    EXPECT_NE(err.find("cannot open the log file"), std::string::npos);
}

} // namespace
} // namespace vex::test
