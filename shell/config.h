#pragma once
// The configuration file "vexCalc.ini": only read here (the main window writes it).

#include <cstdint>
#include <string>

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
    std::u16string sSeparator = u"  ";
    int32_t ToolTip = 0;
};

// The program folder when the file is there or the folder is writable (portable use),
// else $XDG_CONFIG_HOME/vexcalc (or ~/.config/vexcalc).
std::string ConfigFilePath(const std::string& programDir);

// Reads the settings; a missing file or key gives the defaults.
ShellSettings ReadConfiguration(const std::string& path);
// The same from the file's text.
ShellSettings ParseConfiguration(std::u16string_view text);

} // namespace vex
