// Number trimming and compaction on any UTF-16 text.
#include <cstddef>
#include <cstdint>
#include <string>

#include "common/number_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::u16string text(size / 2, u'\0');
    for (size_t i = 0; i < text.size(); ++i)
        text[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
    const std::u16string t = zorbit::TrimNumber(text);
    if (t.empty()) __builtin_trap(); // always at least "0"
    zorbit::CompactNumber(text, (size & 1) != 0);
    zorbit::ReadDecimal(text);
    return 0;
}
