#include "tests/script/test_support.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "script/library_client.h"

namespace vex::test {

const LibraryBinding& Zorbit() {
    static LibraryBinding binding = [] {
        LibraryBinding b;
        std::string error;
        if (!LoadBindingFrom(b, VEX_ZORBIT_PATH, error)) {
            ADD_FAILURE() << error;
        }
        return b;
    }();
    return binding;
}

void ScriptTest::SetUp() {
    const LibraryBinding& b = Zorbit();
    ASSERT_NE(b.handle, nullptr);
    host.slots = &b.slots;
    host.platform = &platform;
    const Library lib(&b.slots);
    lib.ResetAll();
    lib.SetError(-1);
    lib.SetPrecisionMode(ZORBIT_PRECISION_CLASSIC); // a test that chose Full leaves it behind
    std::string pattern = (std::filesystem::temp_directory_path() / "vexscript-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir = pattern;
    host.batch.CurDir = U16(dir.string());
    host.batch.programDir = U16(dir.string());
}

void ScriptTest::TearDown() {
    std::error_code ec;
    if (!dir.empty()) std::filesystem::remove_all(dir, ec);
}

void ScriptTest::WriteFile(const std::string& name, std::string_view bytes) const {
    std::ofstream out(dir / name, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ScriptTest::ReadFile(const std::string& name) const {
    std::ifstream in(dir / name, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

} // namespace vex::test
