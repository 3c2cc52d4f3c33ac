// Arbitrary bytes as the configuration file, and settings made from the input written and
// read back.

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "common/text.h"
#include "shell/config.h"

namespace {

// A written value: at most 39 code units without half a character, line breaks as
// spaces (a value is one line).
std::u16string Written(std::u16string_view value) {
    size_t n = std::min<size_t>(value.size(), 39);
    if (n == 39 && value[38] >= 0xD800 && value[38] <= 0xDBFF) n = 38;
    std::u16string v(value.substr(0, n));
    for (char16_t& c : v)
        if (c == u'\r' || c == u'\n') c = u' ';
    return v;
}

// What writing s and reading it back must give.
vex::ShellSettings AfterRoundTrip(vex::ShellSettings s) {
    s.DefFontName = u"Lucida Console";
    s.curFontName = Written(s.curFontName);
    s.sSeparator = Written(s.sSeparator);
    return s;
}

vex::ShellSettings Reread(const vex::ShellSettings& s) {
    return vex::ParseConfiguration(zorbit::Utf8ToUtf16(vex::FormatConfiguration(s)));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const vex::ShellSettings read = vex::ParseConfiguration(vex::ConfigurationText(bytes));
    if (!(Reread(read) == AfterRoundTrip(read))) __builtin_trap();

    FuzzedDataProvider in(data, size);
    vex::ShellSettings s;
    for (int32_t* n : {&s.wndX, &s.wndY, &s.wndW, &s.wndH, &s.NumWidth, &s.ExprWidth, &s.ResWidth,
                       &s.DefFontSize, &s.curFontSize, &s.mnuBlackWhite, &s.Decimals, &s.ToolTip})
        *n = in.ConsumeIntegral<int32_t>();
    for (std::u16string* t : {&s.DefFontName, &s.curFontName, &s.sSeparator})
        *t = zorbit::Utf8ToUtf16(in.ConsumeRandomLengthString(80));
    if (!(Reread(s) == AfterRoundTrip(s))) __builtin_trap();
    return 0;
}
