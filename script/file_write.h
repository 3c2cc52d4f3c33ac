#pragma once
// Writing a report or a command's result so that a failure loses nothing: the new text
// goes to a temporary file beside the old one and takes its place only when complete.

#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>

#include "script/script_host.h"

namespace vex {

// ReplaceRegular: as Replace, but a device, a FIFO or a name under /dev/ or /proc/ is
// refused with EINVAL rather than written (a settings file must never wait on a pipe).
enum class WriteMode { Replace, Append, ReplaceRegular };

// Writes the pieces, one after the other, as UTF-8 without a byte-order mark; Append
// keeps the file's old bytes in front of them. Returns 0, or the errno value of the
// step that failed. Where the text goes:
// - one of the program's own files (platform/protected_files.h): refused with EPERM.
// - an existing file the user may not write (its own write permission, not only the
//   folder's): refused with that errno value (EACCES), the file left alone.
// - a regular file, or a name that is not there yet: a temporary file with a short
//   unique name, created exclusively in the same folder and never through a symlink,
//   is written, synced and renamed over the name; an existing file keeps its permission
//   bits (and its owner where allowed). On failure the old file is as it was.
// - a symlink: its final target is replaced, not the link.
// - a device, a FIFO or any name under /dev/ or /proc/: written directly, never
//   replaced by a regular file (and never created).
// - a folder that refuses the temporary file while the file itself is writable: the
//   file is written in place, its room claimed before its old text is overwritten.
int WriteTextFile(const std::string& path, std::initializer_list<std::u16string_view> pieces,
                  WriteMode mode, const FaultHooks* faults = nullptr);

// Replaces a regular file's whole content with bytes (a picture, say) the way
// WriteTextFile replaces a regular file: a temporary file beside it, synced and renamed
// over it, the old permission bits kept, a symlink's target replaced. Never writes in
// place: a folder that refuses the temporary file fails the write. EISDIR for a folder,
// EINVAL for a device or FIFO; refused as WriteTextFile refuses. Returns 0 or the errno
// value of the step that failed; fault steps "access", "temp", "write" and "rename".
int ReplaceFileBytes(const std::string& path, std::string_view bytes,
                     const FaultHooks* faults = nullptr);

// Why a write of path failed, for a message: the program's own file, a folder, or the
// system's text for error.
std::string WriteErrorText(const std::string& path, int error);

// Calls sink with the UTF-8 form of text in pieces of bounded size (a surrogate pair is
// never split); stops at the first false from sink and returns false then.
bool ForEachUtf8Piece(std::u16string_view text, const std::function<bool(std::string_view)>& sink);

// The length of text in UTF-8 (as zorbit::Utf16ToUtf8 writes it).
size_t Utf8Length(std::u16string_view text);

} // namespace vex
