#include "script/file_io.h"

#include <cstdio>
#include <memory>

#include "common/text.h"
#include "script/text_util.h"

namespace vex {

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

constexpr std::u16string_view kBoxTitle = u"Zazu Dezeruziv";

} // namespace

std::u16string_view ExitCodeText(int32_t code) {
    switch (code) {
    case -2:
        return u"File Open Error (not found?)";
    case -3:
        return u"File Write Error (already in use?)";
    case -4:
        return u"Operation cancelled by user";
    case -5:
        return u"Invalid Parameter.";
    case -6:
        return u"Instance Quit OK";
    case -7:
        return u"API Error";
    case -8:
        return u"Window not Found";
    case -9:
        return u"Child Window Not Found";
    default:
        return u"";
    }
}

std::string ResolveScriptPath(const ScriptHost& host, std::u16string_view name) {
    std::u16string path(name);
    for (char16_t& c : path)
        if (c == u'\\') c = u'/';
    if (path.size() >= 2 && path[1] == u':' &&
        ((path[0] >= u'A' && path[0] <= u'Z') || (path[0] >= u'a' && path[0] <= u'z')))
        path.erase(0, 2);
    if (!host.batch.fileJail.empty()) {
        const std::u16string base = path.substr(path.rfind(u'/') + 1);
        if (base.empty() || base == u"." || base == u"..") return {};
        return zorbit::Utf16ToUtf8(host.batch.fileJail + u"/" + base);
    }
    if (path.empty() || path.front() == u'/') return zorbit::Utf16ToUtf8(path);
    std::u16string dir = host.batch.CurDir;
    if (!dir.empty() && dir.back() != u'/') dir.push_back(u'/');
    return zorbit::Utf16ToUtf8(dir + path);
}

bool ReadFileBytes(const std::string& path, std::string& bytes) {
    bytes.clear();
    if (path.empty()) return false;
    File f(std::fopen(path.c_str(), "rb"));
    if (!f) return false;
    char buf[65536];
    for (;;) {
        const size_t n = std::fread(buf, 1, sizeof buf, f.get());
        if (n == 0) break;
        if (bytes.size() + n > kMaxFileBytes) return false;
        bytes.append(buf, n);
    }
    return !std::ferror(f.get());
}

namespace {

// Each line followed by CR LF; CR LF, LF and a lone CR end a line.
std::u16string WithCrLf(std::u16string_view text) {
    std::u16string out;
    out.reserve(text.size() + text.size() / 16 + 2);
    size_t i = 0;
    while (i < text.size()) {
        const size_t end = text.find_first_of(u"\r\n", i);
        if (end == text.npos) {
            out.append(text.substr(i)).append(kCrLf);
            break;
        }
        out.append(text.substr(i, end - i)).append(kCrLf);
        i = end + 1;
        if (text[end] == u'\r' && i < text.size() && text[i] == u'\n') ++i;
    }
    return out;
}

std::u16string Utf16LeToText(std::string_view bytes) {
    std::u16string out;
    out.reserve(bytes.size() / 2);
    for (size_t i = 0; i + 1 < bytes.size(); i += 2)
        out.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                            (static_cast<unsigned char>(bytes[i + 1]) << 8)));
    return out;
}

} // namespace

std::u16string DecodeTextFile(ScriptHost& host, std::string_view bytes) {
    const char16_t* refused = nullptr;
    if (bytes.substr(0, 4) == std::string_view("\xFF\xFE\0\0", 4))
        refused = u"UTF-32 (little endian) BOM detected.";
    else if (bytes.substr(0, 4) == std::string_view("\0\0\xFE\xFF", 4))
        refused = u"UTF-32 (big endian) BOM detected.";
    else if (bytes.substr(0, 2) == "\xFE\xFF")
        refused = u"UTF-16 (big endian) BOM detected.";
    if (refused) {
        // The file was there but cannot be read as text: a read failure of the run.
        host.batch.ExitCode = -2;
        MessageBox(host, kBoxTitle,
                   std::u16string(refused) +
                       u"\r\nUnable to convert the file. Try to save it in ASCII, UTF8 or "
                       u"Unicode format.");
        return {};
    }
    if (bytes.substr(0, 2) == "\xFF\xFE") return WithCrLf(Utf16LeToText(bytes.substr(2)));
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") return WithCrLf(zorbit::Utf8ToUtf16(bytes.substr(3)));
    if (zorbit::IsValidUtf8(bytes)) return WithCrLf(zorbit::Utf8ToUtf16(bytes));
    return WithCrLf(zorbit::Latin1ToUtf16(bytes));
}

bool ReadTextFile(ScriptHost& host, const std::string& path, std::u16string& text) {
    text.clear();
    std::string bytes;
    if (!ReadFileBytes(path, bytes)) return false;
    text = DecodeTextFile(host, bytes);
    return true;
}

std::u16string ScriptFileIO(ScriptHost& host, std::u16string_view file, std::u16string_view mode,
                            std::u16string_view text) {
    const std::string path = ResolveScriptPath(host, file);
    const std::u16string shownPath = zorbit::Utf8ToUtf16(path);
    if (zorbit::ToLower(mode) == u"fileout") {
        File f(path.empty() ? nullptr : std::fopen(path.c_str(), "wb"));
        const std::string out = zorbit::Utf16ToUtf8(text);
        if (!f || std::fwrite(out.data(), 1, out.size(), f.get()) != out.size())
            MessageBox(host, kBoxTitle, u"Error 1: can't write the file.\r\n" + shownPath);
        return {};
    }
    std::string bytes;
    if (!ReadFileBytes(path, bytes)) {
        host.batch.ExitCode = -2;
        MessageBox(host, kBoxTitle, u"Error 3: Couldn't open the file!\r\n" + shownPath);
        return {};
    }
    std::string_view rest(bytes);
    if (rest.substr(0, 3) == "\xEF\xBB\xBF") rest.remove_prefix(3);
    std::u16string result;
    for (size_t lineNo = 1; !rest.empty(); ++lineNo) {
        const size_t nl = rest.find('\n');
        std::string_view line = rest.substr(0, nl);
        rest = nl == rest.npos ? std::string_view() : rest.substr(nl + 1);
        // The library would read such a line only up to its NUL.
        if (line.find('\0') != line.npos) {
            host.batch.ExitCode = -5;
            MessageBox(host, kBoxTitle,
                       u"Error 3: invalid character (NUL) in line " +
                           Num(static_cast<long long>(lineNo)) + u" of the file!\r\n" + shownPath);
            return {};
        }
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        const std::u16string wide = zorbit::Utf8ToUtf16(line);
        if (!StartsWith(zorbit::TrimSpaces(wide), u"'")) result += wide;
    }
    return result;
}

FileArgs SplitFileArgs(std::u16string_view argument) {
    const std::u16string text = std::u16string(argument) + u" ";
    FileArgs args;
    args.input = std::u16string(Field(text, u' ', 1));
    args.output = std::u16string(StripBrackets(Field(text, u' ', 2)));
    return args;
}

} // namespace vex
