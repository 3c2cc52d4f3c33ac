#pragma once
// The first byte chooses the mode bits; bit 3 reads the rest as UTF-16 (little endian),
// otherwise as Latin-1, so that plain-text seeds stay readable.

#include <cstddef>
#include <cstdint>
#include <string>

namespace zorbit::fuzz {

inline std::u16string MatrixFuzzText(const uint8_t* data, size_t size) {
    std::u16string text;
    if (size < 1) return text;
    if ((data[0] & 8) != 0) {
        for (size_t i = 1; i + 1 < size; i += 2)
            text += static_cast<char16_t>(data[i] | (data[i + 1] << 8));
    } else {
        for (size_t i = 1; i < size; ++i)
            text += static_cast<char16_t>(data[i]);
    }
    return text;
}

} // namespace zorbit::fuzz
