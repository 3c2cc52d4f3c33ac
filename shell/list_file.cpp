#include "shell/list_file.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "common/text.h"
#include "script/file_io.h"
#include "script/file_write.h"

namespace vex {

std::string FormatListFile(const std::vector<ListRow>& rows) {
    std::u16string text = u"Columns: 1\r\n";
    for (const ListRow& r : rows) {
        if (r.number.empty() && r.text.empty()) continue;
        text += r.number + u"\n" + r.text + u"\r\n";
    }
    return zorbit::Utf16ToUtf8(text);
}

std::vector<std::u16string> ListFileExpressions(std::string_view bytes) {
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
    const std::u16string text =
        zorbit::IsValidUtf8(bytes) ? zorbit::Utf8ToUtf16(bytes) : zorbit::Latin1ToUtf16(bytes);
    std::vector<std::u16string_view> lines;
    std::u16string_view rest = text;
    while (!rest.empty()) {
        const size_t nl = rest.find(u'\n');
        std::u16string_view line = rest.substr(0, nl);
        if (!line.empty() && line.back() == u'\r') line.remove_suffix(1);
        lines.push_back(line);
        rest = nl == rest.npos ? std::u16string_view() : rest.substr(nl + 1);
    }
    std::vector<std::u16string> expressions;
    // The first line is the "Columns:" header; it does not change how rows are read.
    for (size_t k = 1; k < lines.size(); ++k) {
        const std::u16string_view line = lines[k];
        if (line.empty() || line.front() != u'E' || line.substr(0, 3) == u"ERR") continue;
        if (++k < lines.size()) expressions.emplace_back(lines[k]);
    }
    return expressions;
}

bool WriteListFile(const std::string& path, const std::vector<ListRow>& rows, std::string& error) {
    const std::u16string text = zorbit::Utf8ToUtf16(FormatListFile(rows));
    const int err = WriteTextFile(path, {text}, WriteMode::Replace);
    if (err == 0) return true;
    error = std::strerror(err);
    return false;
}

bool ReadListFile(const std::string& path, std::vector<std::u16string>& expressions,
                  std::string& error) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
        static_cast<uint64_t>(st.st_size) > kMaxListFileBytes) {
        error = "the file is larger than 64 MiB";
        return false;
    }
    std::string bytes;
    errno = 0;
    if (!ReadFileBytes(path, bytes)) {
        error = errno ? std::strerror(errno) : "the file cannot be read";
        return false;
    }
    expressions = ListFileExpressions(bytes);
    return true;
}

} // namespace vex
