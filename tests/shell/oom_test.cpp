// Allocation failures injected into the terminal front end: operator new of this test
// program fails from a chosen allocation on, once or for good.

#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "script/keywords.h"
#include "shell/terminal.h"
#include "tests/script/test_support.h"

namespace {

long armedCountdown = 0; // 0: off; n: the n-th allocation from now fails
bool failForGood = false;
bool fired = false;

void* Allocate(std::size_t n) {
    if (armedCountdown > 0 && --armedCountdown == 0) {
        fired = true;
        if (failForGood) armedCountdown = 1;
        throw std::bad_alloc();
    }
    if (void* p = std::malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}

} // namespace

void* operator new(std::size_t n) {
    return Allocate(n);
}
void* operator new[](std::size_t n) {
    return Allocate(n);
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}

namespace vex::test {
namespace {

// An output stream on a fixed buffer: writing to it allocates nothing.
class FixedStream : public std::ostream {
  public:
    FixedStream() : std::ostream(&buf_) {}
    std::string Text() const { return std::string(buf_.Begin(), buf_.End()); }

  private:
    class Buf : public std::streambuf {
      public:
        Buf() { setp(data_, data_ + sizeof data_); }
        const char* Begin() const { return pbase(); }
        const char* End() const { return pptr(); }

      private:
        char data_[4096];
    };
    Buf buf_;
};

struct OomRow {
    const char* name;
    bool stdinMode;
    bool forGood;
};

class OutOfMemoryTest : public ScriptTest, public ::testing::WithParamInterface<OomRow> {};

// Whichever allocation fails, the run ends normally or with the message and status 1;
// it never aborts and never shows a value the lines do not have.
TEST_P(OutOfMemoryTest, EndsWithAMessageNeverAnAbort) {
    const std::vector<std::u16string> keywords = InitKeywordTable();
    const std::string lines = "1/log(10)\n2+3\n";
    const BatchSettings fresh = host.batch;
    int messages = 0;
    bool completed = false;
    for (long n = 1; n < 20000 && !completed; ++n) {
        SCOPED_TRACE(n);
        host.batch = fresh;
        FixedStream out, err;
        std::istringstream in(lines);
        fired = false;
        failForGood = GetParam().forGood;
        armedCountdown = n;
        const int status = GetParam().stdinMode ? RunEntryStream(host, keywords, in, out, err)
                                                : RunEntryText(host, keywords, lines, out, err);
        armedCountdown = 0;
        completed = !fired;
        if (completed) {
            EXPECT_EQ(status, 0);
            EXPECT_EQ(out.Text(), "0.4343\n5.0000\n");
            break;
        }
        ASSERT_TRUE(status == 0 || status == 1) << status;
        const std::string shown = out.Text();
        for (size_t start = 0; start < shown.size();) {
            const size_t nl = shown.find('\n', start);
            const std::string row = shown.substr(start, nl - start);
            EXPECT_TRUE(row == "0.4343" || row == "5.0000" || row.rfind("ERROR", 0) == 0) << row;
            start = nl == shown.npos ? shown.size() : nl + 1;
        }
        if (status == 0) {
            EXPECT_EQ(shown, "0.4343\n5.0000\n");
        }
        if (err.Text() == "vexcalc: out of memory; the run ends\n") {
            ++messages;
        } else {
            EXPECT_EQ(err.Text(), "");
        }
    }
    EXPECT_TRUE(completed);
    EXPECT_GT(messages, 0);
}

INSTANTIATE_TEST_SUITE_P(Rows, OutOfMemoryTest,
                         ::testing::Values(OomRow{"entryTextOnce", false, false},
                                           OomRow{"entryTextForGood", false, true},
                                           OomRow{"stdinOnce", true, false},
                                           OomRow{"stdinForGood", true, true}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace vex::test
