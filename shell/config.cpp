#include "shell/config.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
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
        // CR LF, LF and a lone CR all end a line: an editor may have written any of them.
        const size_t nl = text.find_first_of(u"\r\n");
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
    s.Precision = PrecisionNamed(r.Text(u"Config", u"Precision", u"classic"))
                      .value_or(ZORBIT_PRECISION_CLASSIC);
    s.Format = NumberFormatNamed(r.Text(u"Config", u"NumberFormat", u"fixed"))
                   .value_or(NumberFormat::Fixed);
    s.sSeparator = r.Text(u"Config", u"sSeparator", u"  ");
    s.ToolTip = r.Int(u"Config", u"ToolTip", 0);
    s.LiveResult = r.Int(u"Config", u"LiveResult", 1) == 0 ? 0 : 1;
    s.NamesPanel = r.Int(u"Config", u"NamesPanel", 0) == 1 ? 1 : 0;
    return s;
}

std::u16string ConfigurationText(std::string_view bytes) {
    // An editor may have put a byte-order mark in front of the first section, or saved
    // the file as UTF-16.
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") return zorbit::Utf8ToUtf16(bytes.substr(3));
    const bool little = bytes.substr(0, 2) == "\xFF\xFE";
    if (!little && bytes.substr(0, 2) != "\xFE\xFF") return zorbit::Utf8ToUtf16(bytes);
    std::u16string text;
    text.reserve(bytes.size() / 2);
    for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
        const auto lo = static_cast<unsigned char>(bytes[little ? i : i + 1]);
        const auto hi = static_cast<unsigned char>(bytes[little ? i + 1 : i]);
        text.push_back(static_cast<char16_t>(hi << 8 | lo));
    }
    // Half a surrogate pair becomes U+FFFD, as a broken UTF-8 sequence does.
    const auto high = [](char16_t c) { return c >= 0xD800 && c <= 0xDBFF; };
    const auto low = [](char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; };
    for (size_t i = 0; i < text.size(); ++i) {
        if (high(text[i]) && i + 1 < text.size() && low(text[i + 1]))
            ++i;
        else if (high(text[i]) || low(text[i]))
            text[i] = 0xFFFD;
    }
    return text;
}

int ReadRegularFile(const std::string& path, size_t limit, std::string& bytes) {
    // Only a regular file is read: opening a FIFO or a device could wait for ever. The
    // open itself never waits, and what was opened is checked again.
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return errno;
    if (!S_ISREG(st.st_mode)) return -1;
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return errno;
    int error = 0;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        error = -1;
    } else {
        bytes.resize(limit);
        size_t got = 0;
        while (got < bytes.size()) {
            const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) error = errno;
            if (n <= 0) break;
            got += static_cast<size_t>(n);
        }
        bytes.resize(got);
    }
    ::close(fd);
    return error;
}

ShellSettings ReadConfiguration(const std::string& path, std::string* note) {
    const ShellSettings defaults = ParseConfiguration(u"");
    std::string bytes;
    // A configuration is a few hundred bytes; more than this is not read.
    const int error = ReadRegularFile(path, size_t{1} << 20, bytes);
    if (error == 0) return ParseConfiguration(ConfigurationText(bytes));
    if (error != ENOENT && note)
        *note = path + ": " + (error == -1 ? "not a regular file" : std::strerror(error)) +
                "; the default settings are used";
    return defaults;
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
    line(u"Precision", PrecisionName(s.Precision));
    line(u"NumberFormat", NumberFormatName(s.Format));
    number(u"LiveResult", s.LiveResult);
    number(u"NamesPanel", s.NamesPanel);
    return zorbit::Utf16ToUtf8(text);
}

bool WriteSettingsFile(const std::string& path, const std::string& utf8, std::string& error) {
    std::error_code ec;
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    if (!folder.empty()) std::filesystem::create_directories(folder, ec);
    // Never written into a FIFO or a device: that could wait for ever or reach hardware.
    // A portable copy in a read-only folder has its file rewritten in place.
    const std::u16string text = zorbit::Utf8ToUtf16(utf8);
    const int err = WriteTextFile(path, {text}, WriteMode::ReplaceRegular);
    if (err == 0) return true;
    error = err == EINVAL ? "not a regular file" : std::strerror(err);
    return false;
}

bool WriteConfiguration(const std::string& path, const ShellSettings& settings,
                        std::string& error) {
    return WriteSettingsFile(path, FormatConfiguration(settings), error);
}

} // namespace vex
