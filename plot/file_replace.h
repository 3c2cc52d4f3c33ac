#pragma once
// Saving a picture so that a failure loses nothing: the bytes go to a temporary file
// beside the target and take its place only when complete.

#include <string>
#include <string_view>

namespace vex {

// Makes one step fail with an errno value, so tests reach the failures that file
// permissions cannot produce (they do not bind root). Steps: "access" (may the user
// write the existing file), "temp", "write", "rename".
struct ReplaceFault {
    std::string_view step;
    int error = 0;
};

// Writes bytes as the whole content of the file at path (a symlink's final target is
// replaced, not the link). A new file gets the usual permission bits, a replaced one
// keeps its own. The program's own files and an existing file the user may not write
// are refused. On failure returns false with a sentence in error; the old file, if
// any, is as it was and no temporary file is left behind.
bool ReplaceFileContents(const std::string& path, std::string_view bytes, std::string& error,
                         const ReplaceFault* fault = nullptr);

} // namespace vex
