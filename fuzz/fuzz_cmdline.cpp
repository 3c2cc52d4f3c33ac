// Arbitrary switch strings through ParseCmdLine and vexEvalMain. Every file name goes
// into a temporary folder; the selection text runs as a script.

#include <cstddef>
#include <cstdint>

#include "fuzz/fuzz_support.h"
#include "script/batch.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    vex::fuzz::FuzzHost& f = vex::fuzz::Host();
    f.Fresh();
    const std::u16string line =
        zorbit::Utf8ToUtf16(std::string_view(reinterpret_cast<const char*>(data), size));
    (void)vex::vexEvalMain(f.host, line);
    // Switches persist from call to call: a second run starts from what the first left.
    (void)vex::vexEvalMain(f.host, u" /noh /nln /nt /sel:'Expr = 1' /");
    return 0;
}
