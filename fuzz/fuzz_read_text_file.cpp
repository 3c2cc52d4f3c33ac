// Arbitrary bytes as a text file: byte-order marks, UTF-8, Latin-1 and UTF-16.

#include <cstddef>
#include <cstdint>

#include "fuzz/fuzz_support.h"
#include "script/file_io.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    vex::fuzz::FuzzHost& f = vex::fuzz::Host();
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::u16string text = vex::DecodeTextFile(f.host, bytes);
    // Every line read is followed by CR LF.
    if (!text.empty() && (text.size() < 2 || text.substr(text.size() - 2) != u"\r\n"))
        __builtin_trap();
    return 0;
}
