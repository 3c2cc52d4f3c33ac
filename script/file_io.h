#pragma once
// Files of the script commands: reading a command's input, writing its result, and
// the names in a file variant's argument.

#include <string>
#include <string_view>

#include "script/script_host.h"

namespace vex {

// Largest file the interpreter reads; a larger one is refused like an unreadable one.
inline constexpr size_t kMaxFileBytes = size_t{64} << 20;

// The texts of the batch exit codes ("" for codes without one).
std::u16string_view ExitCodeText(int32_t code);

// A script's file name as a path: "/..." as given, "X:" prefixes dropped and
// backslashes read as "/", anything else taken from CurDir.
std::string ResolveScriptPath(const ScriptHost& host, std::u16string_view name);

// Reads a whole file (at most kMaxFileBytes); false when it cannot be read.
bool ReadFileBytes(const std::string& path, std::string& bytes);

// The text of a file with its byte-order mark examined: no mark (UTF-8, or Latin-1 when
// the bytes are not valid UTF-8), UTF-8 and UTF-16 little endian are read; UTF-16 big
// endian and UTF-32 are refused with a message box, the exit code -2 and "". Every line
// is followed by CR LF. False when the file cannot be opened or read, or holds more than
// kMaxFileBytes. A regular file is decoded while it is read, so its bytes are never all
// in memory beside its text.
bool ReadTextFile(ScriptHost& host, const std::string& path, std::u16string& text);
// The same on bytes already read.
std::u16string DecodeTextFile(ScriptHost& host, std::string_view bytes);

// "fileout" writes text (UTF-8, no byte-order mark) and returns ""; any other mode reads
// the file's lines that are not comments, joined without separator. Failures show a
// message box; a failed read sets the exit code -2.
std::u16string ScriptFileIO(ScriptHost& host, std::u16string_view file, std::u16string_view mode,
                            std::u16string_view text);

// Writes a command's result to the file a script names (see WriteTextFile); a failure
// shows a message box and gives false.
bool WriteScriptFile(ScriptHost& host, std::u16string_view file, std::u16string_view text);

// Input and output names of a file variant's argument (the output without brackets).
struct FileArgs {
    std::u16string input;
    std::u16string output;
};
FileArgs SplitFileArgs(std::u16string_view argument);

} // namespace vex
