#include "shell/history_file.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "common/text.h"
#include "script/file_write.h"
#include "shell/config.h"

namespace vex {

std::string HistoryPath(const std::string& configPath) {
    if (configPath.empty()) return {};
    return (std::filesystem::path(configPath).parent_path() / "vexCalc.history").string();
}

std::string FormatHistory(const std::vector<std::u16string>& lines) {
    const size_t from = lines.size() > kHistoryLines ? lines.size() - kHistoryLines : 0;
    std::u16string text;
    for (size_t k = from; k < lines.size(); ++k) {
        for (char16_t c : lines[k]) {
            if (c == u'\\')
                text += u"\\\\";
            else if (c == u'\r')
                text += u"\\r";
            else if (c == u'\n')
                text += u"\\n";
            else
                text.push_back(c);
        }
        text.push_back(u'\n');
    }
    return zorbit::Utf16ToUtf8(text);
}

std::vector<std::u16string> ParseHistory(std::string_view bytes) {
    std::vector<std::u16string> lines;
    while (!bytes.empty()) {
        const size_t end = bytes.find('\n');
        const std::u16string raw = zorbit::Utf8ToUtf16(bytes.substr(0, end));
        bytes.remove_prefix(end == bytes.npos ? bytes.size() : end + 1);
        std::u16string line;
        for (size_t i = 0; i < raw.size(); ++i) {
            if (raw[i] == u'\\' && i + 1 < raw.size()) {
                const char16_t next = raw[i + 1];
                if (next == u'\\' || next == u'r' || next == u'n') {
                    line.push_back(next == u'r' ? u'\r' : next == u'n' ? u'\n' : u'\\');
                    ++i;
                    continue;
                }
            }
            // A CR written by hand before the LF is not part of the line.
            if (raw[i] == u'\r' && i + 1 == raw.size()) break;
            line.push_back(raw[i]);
        }
        if (line.empty()) continue;
        lines.push_back(std::move(line));
        if (lines.size() > 2 * kHistoryLines)
            lines.erase(lines.begin(), lines.end() - static_cast<ptrdiff_t>(kHistoryLines));
    }
    if (lines.size() > kHistoryLines)
        lines.erase(lines.begin(), lines.end() - static_cast<ptrdiff_t>(kHistoryLines));
    return lines;
}

std::vector<std::u16string> ReadHistory(const std::string& path, std::string* note) {
    if (path.empty()) return {};
    std::string bytes;
    // A thousand long formulas at most; a larger file is not one this program wrote.
    constexpr size_t kLimit = size_t{16} << 20;
    const int error = ReadRegularFile(path, kLimit + 1, bytes);
    if (error == ENOENT) return {};
    const char* why = error == -1             ? "not a regular file"
                      : error != 0            ? std::strerror(error)
                      : bytes.size() > kLimit ? "larger than 16 MiB"
                                              : nullptr;
    if (why) {
        if (note) *note = path + ": " + why + "; the entry history starts empty";
        return {};
    }
    return ParseHistory(bytes);
}

bool WriteHistory(const std::string& path, const std::vector<std::u16string>& lines,
                  std::string& error) {
    return WriteSettingsFile(path, FormatHistory(lines), error);
}

} // namespace vex
