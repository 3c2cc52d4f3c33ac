#include "shell/config.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>

#include "common/number_text.h"
#include "common/text.h"
#include "script/file_write.h"
#include "shell/program_folders.h"

namespace vex {

namespace {

// A value is read into 40 characters: at most 39 are used.
constexpr size_t kValueRoom = 39;

using Section = std::map<std::u16string, std::u16string>;

// The first kValueRoom code units, one fewer when the last would be half a character.
std::u16string_view CutValue(std::u16string_view value) {
    if (value.size() <= kValueRoom) return value;
    const char16_t last = value[kValueRoom - 1];
    return value.substr(0, last >= 0xD800 && last <= 0xDBFF ? kValueRoom - 1 : kValueRoom);
}

std::map<std::u16string, Section> ParseIni(std::u16string_view text) {
    std::map<std::u16string, Section> ini;
    std::u16string section;
    while (!text.empty()) {
        const size_t nl = text.find(u'\n');
        std::u16string_view line = zorbit::TrimBlanks(text.substr(0, nl));
        text = nl == text.npos ? std::u16string_view() : text.substr(nl + 1);
        if (line.empty() || line.front() == u';') continue;
        if (line.front() == u'[') {
            const size_t close = line.find(u']');
            section = zorbit::ToLower(line.substr(1, close == line.npos ? line.npos : close - 1));
            continue;
        }
        const size_t eq = line.find(u'=');
        if (eq == line.npos) continue;
        const std::u16string key = zorbit::ToLower(zorbit::TrimBlanks(line.substr(0, eq)));
        Section& s = ini[section];
        std::u16string_view value = zorbit::TrimBlanks(line.substr(eq + 1));
        // Quotes keep a value's outer blanks (the separator is two spaces).
        if (value.size() >= 2 && value.front() == u'"' && value.back() == u'"')
            value = value.substr(1, value.size() - 2);
        if (!s.count(key)) s[key] = std::u16string(CutValue(value));
    }
    return ini;
}

class Reader {
  public:
    explicit Reader(std::u16string_view text) : ini_(ParseIni(text)) {}
    std::u16string Text(std::u16string_view section, std::u16string_view key,
                        std::u16string_view def) const {
        const auto s = ini_.find(zorbit::ToLower(section));
        if (s == ini_.end()) return std::u16string(def);
        const auto v = s->second.find(zorbit::ToLower(key));
        return v == s->second.end() ? std::u16string(def) : v->second;
    }
    int32_t Int(std::u16string_view section, std::u16string_view key, int32_t def) const {
        const std::u16string v = Text(section, key, zorbit::IntText(def));
        const double d = zorbit::ReadDecimal(v);
        if (!(d > -2147483649.0 && d < 2147483648.0)) return 0;
        return static_cast<int32_t>(d);
    }

  private:
    std::map<std::u16string, Section> ini_;
};

} // namespace

std::string ConfigFilePath(const std::string& programDir) {
    return FindProgramFolders(programDir, UserFoldersFromEnvironment(), DataFolderFromBin())
        .configPath;
}

ShellSettings ParseConfiguration(std::u16string_view text) {
    const Reader r(text);
    ShellSettings s;
    s.wndX = r.Int(u"vexCalc", u"wndX", 50);
    s.wndY = r.Int(u"vexCalc", u"wndY", 50);
    s.wndW = r.Int(u"vexCalc", u"wndW", 320);
    s.wndH = r.Int(u"vexCalc", u"wndH", 415);
    s.NumWidth = r.Int(u"vexCalc", u"NumWidth", 30);
    const int64_t room = int64_t{s.wndW} - s.NumWidth - 4;
    s.ExprWidth = r.Int(u"vexCalc", u"ExprWidth", static_cast<int32_t>((room / 4) * 3));
    s.ResWidth = r.Int(u"vexCalc", u"ResWidth", static_cast<int32_t>(room / 4));
    s.DefFontName = r.Text(u"Config", u"DefFontName", u"Lucida Console");
    s.DefFontSize = r.Int(u"Config", u"DefFontSize", 8);
    s.curFontName = r.Text(u"Config", u"curFontName", s.DefFontName);
    s.curFontSize = r.Int(u"Config", u"curFontSize", 8);
    s.mnuBlackWhite = r.Int(u"Config", u"mnuBlackWhite", 1);
    s.Decimals = r.Int(u"Config", u"Decimals", 4);
    s.sSeparator = r.Text(u"Config", u"sSeparator", u"  ");
    s.ToolTip = r.Int(u"Config", u"ToolTip", 0);
    return s;
}

ShellSettings ReadConfiguration(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return ParseConfiguration(u"");
    // A configuration is a few hundred bytes; more than this is not read.
    std::string bytes(size_t{1} << 20, '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<size_t>(in.gcount()));
    // An editor may have put a byte-order mark in front of the first section.
    std::string_view text = bytes;
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    return ParseConfiguration(zorbit::Utf8ToUtf16(text));
}

std::string FormatConfiguration(const ShellSettings& s) {
    std::u16string text;
    const auto line = [&text](std::u16string_view key, std::u16string_view value) {
        std::u16string v(CutValue(value));
        for (char16_t& c : v)
            if (c == u'\r' || c == u'\n') c = u' ';
        const bool quote =
            !v.empty() && (zorbit::TrimBlanks(v).size() != v.size() || v.front() == u'"');
        text.append(key).append(u"=").append(quote ? u"\"" + v + u"\"" : v).append(u"\n");
    };
    const auto number = [&line](std::u16string_view key, int32_t value) {
        line(key, zorbit::IntText(value));
    };
    text += u"[vexCalc]\n";
    number(u"wndX", s.wndX);
    number(u"wndY", s.wndY);
    number(u"wndW", s.wndW);
    number(u"wndH", s.wndH);
    number(u"NumWidth", s.NumWidth);
    number(u"ExprWidth", s.ExprWidth);
    number(u"ResWidth", s.ResWidth);
    text += u"[Config]\n";
    line(u"DefFontName", u"Lucida Console");
    number(u"DefFontSize", s.DefFontSize);
    line(u"curFontName", s.curFontName);
    number(u"curFontSize", s.curFontSize);
    number(u"mnuBlackWhite", s.mnuBlackWhite);
    number(u"Decimals", s.Decimals);
    line(u"sSeparator", s.sSeparator);
    number(u"ToolTip", s.ToolTip);
    return zorbit::Utf16ToUtf8(text);
}

bool WriteConfiguration(const std::string& path, const ShellSettings& settings,
                        std::string& error) {
    std::error_code ec;
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    if (!folder.empty()) std::filesystem::create_directories(folder, ec);
    const std::u16string text = zorbit::Utf8ToUtf16(FormatConfiguration(settings));
    const int err = WriteTextFile(path, {text}, WriteMode::Replace);
    if (err == 0) return true;
    error = std::strerror(err);
    return false;
}

} // namespace vex
