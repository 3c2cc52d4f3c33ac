#pragma once
// The configuration file "vexCalc.ini": read at start-up, written when the main window
// ends normally.

#include <cstdint>
#include <string>
#include <string_view>

#include "script/text_util.h"
#include "zorbit/codes.h"

namespace vex {

struct ShellSettings {
    int32_t wndX = 50, wndY = 50, wndW = 320, wndH = 415;
    int32_t NumWidth = 30, ExprWidth = 0, ResWidth = 0;
    std::u16string DefFontName = u"Lucida Console";
    int32_t DefFontSize = 8;
    std::u16string curFontName;
    int32_t curFontSize = 8;
    int32_t mnuBlackWhite = 1;
    int32_t Decimals = 4;
    // Config > Full precision and Config > Number format; a file without the keys (or
    // with a value they do not take) reads Classic and Fixed.
    int32_t Precision = ZORBIT_PRECISION_CLASSIC;
    NumberFormat Format = NumberFormat::Fixed;
    std::u16string sSeparator = u"  ";
    int32_t ToolTip = 0;
    int32_t LiveResult = 1; // Config > Live result: the value shown while typing
    int32_t NamesPanel = 0; // View > Names: the panel of this run's names shown
    bool operator==(const ShellSettings&) const = default;
};

// The program folder when the file is there or the folder is writable (portable use),
// else $XDG_CONFIG_HOME/vexcalc (or the home's .config/vexcalc; empty without a home);
// always the latter for an installed program (see program_folders.h).
std::string ConfigFilePath(const std::string& programDir);

// Reads at most limit bytes of a regular file without ever waiting: 0, the errno value
// of the step that failed (ENOENT: not there), or -1 when it is not a regular file.
int ReadRegularFile(const std::string& path, size_t limit, std::string& bytes);

// Reads the settings; a missing file or key gives the defaults. Only a regular file is
// read, without ever waiting: for anything else (a FIFO, a device, a folder) or a file
// that cannot be read, note says why and the defaults are used.
ShellSettings ReadConfiguration(const std::string& path, std::string* note = nullptr);
// The same from the file's text; CR LF, LF and a lone CR end a line.
ShellSettings ParseConfiguration(std::u16string_view text);
// The file's bytes as text: UTF-8 with or without its byte-order mark, or UTF-16 with
// one.
std::u16string ConfigurationText(std::string_view bytes);

// The file's text: both sections, the keys in the order they are read. DefFontName is
// always written as "Lucida Console", so a hand edit lasts one run.
std::string FormatConfiguration(const ShellSettings& settings);
// Writes the file through a temporary file beside it (its folder is created when
// missing); false with error set when it cannot be written or the name is not a
// regular file (a FIFO or a device is never written into).
// Writes a file kept beside the configuration (UTF-8 text) as the configuration is written;
// false with error set on failure.
bool WriteSettingsFile(const std::string& path, const std::string& utf8, std::string& error);
bool WriteConfiguration(const std::string& path, const ShellSettings& settings, std::string& error);

} // namespace vex
