#pragma once
// The version text compiled into every product, and what DisplayVerInfo answers.

#include <cstdint>
#include <string>
#include <string_view>

namespace zorbit {

inline constexpr std::u16string_view kVersionText = VEX_VERSION_TEXT;

// The modification time of the module (library or program) this code is linked into,
// as "dd/mm/yyyy hh:mm:ss"; "" when it cannot be read.
std::u16string ModuleFileTime();

// fileName "" or the module's own file: the version into both buffers (24 characters
// suffice) and 2. Any other file carries none of our versions: 0, buffers untouched.
int32_t VersionInfo(std::u16string_view fileName, char16_t* fileVersion, char16_t* productVersion);

} // namespace zorbit
