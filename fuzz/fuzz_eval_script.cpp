// Arbitrary scripts through EvalScript; file commands stay inside a temporary folder.

#include <cstddef>
#include <cstdint>

#include "fuzz/fuzz_support.h"
#include "script/eval_script.h"
#include "script/file_io.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    vex::fuzz::FuzzHost& f = vex::fuzz::Host();
    f.Fresh();
    if (size > 0) f.host.interp.decimals = static_cast<int8_t>(data[0]) % 12;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::u16string script = vex::DecodeTextFile(f.host, bytes);
    vex::ScriptRun run;
    run.noLabels = size > 1 && (data[1] & 1);
    run.noLnExp = size > 1 && (data[1] & 2);
    run.lineSelect = size > 1 && (data[1] & 4);
    run.LineList = u";1;3;5;";
    (void)vex::EvalScript(f.host, script, run);
    return 0;
}
