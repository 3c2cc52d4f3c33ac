#include "script/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <memory>

#include "common/text.h"
#include "script/file_write.h"
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

// Bytes read at a time from an input file.
constexpr size_t kReadChunk = 65536;

enum class Encoding { Utf8, Latin1, Utf16Le, Refused };

struct Mark {
    Encoding encoding = Encoding::Utf8;
    size_t length = 0; // bytes of the mark
    bool probe = true; // no mark: UTF-8 unless a byte says otherwise
    const char16_t* refused = nullptr;
};

Mark ReadMark(std::string_view head) {
    if (head.substr(0, 4) == std::string_view("\xFF\xFE\0\0", 4))
        return {Encoding::Refused, 0, false, u"UTF-32 (little endian) BOM detected."};
    if (head.substr(0, 4) == std::string_view("\0\0\xFE\xFF", 4))
        return {Encoding::Refused, 0, false, u"UTF-32 (big endian) BOM detected."};
    if (head.substr(0, 2) == "\xFE\xFF")
        return {Encoding::Refused, 0, false, u"UTF-16 (big endian) BOM detected."};
    if (head.substr(0, 2) == "\xFF\xFE") return {Encoding::Utf16Le, 2, false, nullptr};
    if (head.substr(0, 3) == "\xEF\xBB\xBF") return {Encoding::Utf8, 3, false, nullptr};
    return {};
}

void RefuseMark(ScriptHost& host, const Mark& mark) {
    // The file was there but cannot be read as text: a read failure of the run.
    host.batch.ExitCode = -2;
    MessageBox(host, kBoxTitle,
               std::u16string(mark.refused) +
                   u"\r\nUnable to convert the file. Try to save it in ASCII, UTF8 or Unicode "
                   u"format.");
}

// Decodes a text piece by piece into lines: CR LF, LF and a lone CR end a line, and every
// line is followed by CR LF. UTF-8 as zorbit::Utf8ToUtf16 reads it (a byte that does not
// fit becomes U+FFFD), Latin-1, or UTF-16 little endian.
class Decoder {
  public:
    Decoder(std::u16string& out, Encoding encoding, bool probe)
        : out_(out), encoding_(encoding), probe_(probe) {}

    // Decodes bytes; with `more` set, a sequence cut at the end is left for the next
    // call. Returns the bytes used. A probing UTF-8 decoder stops at the first byte that
    // is not UTF-8 (Invalid() is then set).
    size_t Feed(std::string_view bytes, bool more) {
        switch (encoding_) {
        case Encoding::Latin1:
            for (char c : bytes)
                Put(static_cast<unsigned char>(c));
            return bytes.size();
        case Encoding::Utf16Le: {
            size_t i = 0;
            for (; i + 1 < bytes.size(); i += 2)
                Put(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                          (static_cast<unsigned char>(bytes[i + 1]) << 8)));
            // A last odd byte is dropped at the end.
            return more ? i : bytes.size();
        }
        default:
            return FeedUtf8(bytes, more);
        }
    }
    bool Invalid() const { return invalid_; }
    void Finish() {
        if (open_) out_.append(u"\r\n");
        open_ = false;
    }

  private:
    void Put(char16_t c) {
        if (c == u'\r' || (c == u'\n' && !afterCr_)) {
            out_.append(u"\r\n");
            open_ = false;
        } else if (c != u'\n') {
            out_.push_back(c);
            open_ = true;
        }
        afterCr_ = c == u'\r';
    }

    size_t FeedUtf8(std::string_view bytes, bool more) {
        const size_t n = bytes.size();
        size_t i = 0;
        while (i < n) {
            const unsigned char c = static_cast<unsigned char>(bytes[i]);
            if (c < 0x80) {
                Put(c);
                ++i;
                continue;
            }
            size_t len = 0;
            if ((c & 0xE0) == 0xC0)
                len = 2;
            else if ((c & 0xF0) == 0xE0)
                len = 3;
            else if ((c & 0xF8) == 0xF0)
                len = 4;
            if (len > 0 && i + len > n && more) return i;
            char32_t cp = 0xFFFD;
            bool ok = len > 0 && i + len <= n;
            if (ok) {
                char32_t v = c & (0x7F >> len);
                for (size_t k = 1; ok && k < len; ++k) {
                    const unsigned char d = static_cast<unsigned char>(bytes[i + k]);
                    if ((d & 0xC0) != 0x80) ok = false;
                    v = (v << 6) | (d & 0x3F);
                }
                ok = ok && v <= 0x10FFFF && !(v >= 0xD800 && v <= 0xDFFF) &&
                     !(len == 2 && v < 0x80) && !(len == 3 && v < 0x800) &&
                     !(len == 4 && v < 0x10000);
                if (ok) cp = v;
            }
            if (!ok) {
                invalid_ = true;
                if (probe_) return i;
                len = 1;
            }
            if (cp >= 0x10000) {
                cp -= 0x10000;
                Put(static_cast<char16_t>(0xD800 + (cp >> 10)));
                Put(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
            } else {
                Put(static_cast<char16_t>(cp));
            }
            i += len;
        }
        return i;
    }

    std::u16string& out_;
    Encoding encoding_;
    bool probe_;
    bool invalid_ = false;
    bool afterCr_ = false;
    bool open_ = false;
};

// Room for the decoded text of `bytes` bytes, so it never has to move while growing: at
// most two characters per byte (a line end of one byte becomes CR LF). Pages of the room
// that stay unused are never touched.
size_t DecodedRoom(size_t bytes) {
    return 2 * bytes + 2;
}

// Decodes all of a text that is in memory.
std::u16string DecodeBytes(std::string_view bytes, const Mark& mark) {
    const std::string_view body = bytes.substr(mark.length);
    std::u16string text;
    text.reserve(DecodedRoom(body.size()));
    Decoder decoder(text, mark.encoding, mark.probe);
    decoder.Feed(body, false);
    if (decoder.Invalid() && mark.probe) {
        text.clear();
        Decoder latin1(text, Encoding::Latin1, false);
        latin1.Feed(body, false);
        latin1.Finish();
        return text;
    }
    decoder.Finish();
    return text;
}

class InputFile {
  public:
    explicit InputFile(const std::string& path)
        : fd_(path.empty() ? -1 : ::open(path.c_str(), O_RDONLY | O_CLOEXEC)) {}
    ~InputFile() {
        if (fd_ >= 0) ::close(fd_);
    }
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;
    int fd() const { return fd_; }

    // Fills buffer from `from` on (up to its size); returns the bytes now in it, or
    // npos on a read error. Counts what was read against kMaxFileBytes.
    size_t Fill(std::string& buffer, size_t from) {
        while (from < buffer.size()) {
            const ssize_t n = ::read(fd_, buffer.data() + from, buffer.size() - from);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) return std::string::npos;
            if (n == 0) break;
            from += static_cast<size_t>(n);
            total_ += static_cast<size_t>(n);
        }
        if (total_ > kMaxFileBytes) return std::string::npos;
        return from;
    }
    // All that is left to read; false on a read error or past kMaxFileBytes.
    bool ReadAll(std::string& bytes) {
        std::string buffer(kReadChunk, '\0');
        for (;;) {
            const size_t have = Fill(buffer, 0);
            if (have == std::string::npos) return false;
            bytes.append(buffer.data(), have);
            if (have < buffer.size()) return true;
        }
    }
    bool Rewind() {
        total_ = 0;
        return ::lseek(fd_, 0, SEEK_SET) == 0;
    }

  private:
    int fd_;
    size_t total_ = 0;
};

// Decodes a regular file while reading it; false on a read error or when it is too large.
// A file without a mark that turns out not to be UTF-8 is read again as Latin-1.
bool DecodeFile(InputFile& file, std::string& buffer, size_t have, const Mark& mark,
                std::u16string& text) {
    Encoding encoding = mark.encoding;
    bool probe = mark.probe;
    size_t skip = mark.length;
    for (;;) {
        Decoder decoder(text, encoding, probe);
        bool retry = false;
        for (;;) {
            const bool more = have == buffer.size();
            const std::string_view piece(buffer.data() + skip, have - skip);
            const size_t used = decoder.Feed(piece, more);
            if (decoder.Invalid() && probe) {
                retry = true;
                break;
            }
            if (!more) break;
            // A sequence cut at the end of the buffer moves to its front.
            const size_t rest = piece.size() - used;
            std::copy_n(piece.data() + used, rest, buffer.data());
            skip = 0;
            have = file.Fill(buffer, rest);
            if (have == std::string::npos) return false;
        }
        if (!retry) {
            decoder.Finish();
            return true;
        }
        text.clear();
        encoding = Encoding::Latin1;
        probe = false;
        skip = 0;
        if (!file.Rewind()) return false;
        have = file.Fill(buffer, 0);
        if (have == std::string::npos) return false;
    }
}

} // namespace

std::u16string DecodeTextFile(ScriptHost& host, std::string_view bytes) {
    const Mark mark = ReadMark(bytes);
    if (mark.refused) {
        RefuseMark(host, mark);
        return {};
    }
    return DecodeBytes(bytes, mark);
}

bool ReadTextFile(ScriptHost& host, const std::string& path, std::u16string& text) {
    text.clear();
    InputFile file(path);
    struct stat st {};
    if (file.fd() < 0 || ::fstat(file.fd(), &st) != 0 || S_ISDIR(st.st_mode)) return false;
    if (!S_ISREG(st.st_mode)) {
        // A pipe or a device cannot be read twice: its bytes are kept for decoding.
        std::string bytes;
        if (!file.ReadAll(bytes)) return false;
        text = DecodeTextFile(host, bytes);
        return true;
    }
    if (static_cast<uint64_t>(st.st_size) > kMaxFileBytes) return false;
    std::string buffer(kReadChunk, '\0');
    const size_t have = file.Fill(buffer, 0);
    if (have == std::string::npos) return false;
    const Mark mark = ReadMark(std::string_view(buffer.data(), have));
    if (mark.refused) {
        RefuseMark(host, mark);
        return true;
    }
    text.reserve(DecodedRoom(static_cast<size_t>(st.st_size)));
    if (!DecodeFile(file, buffer, have, mark, text)) {
        std::u16string().swap(text);
        return false;
    }
    return true;
}

std::u16string ScriptFileIO(ScriptHost& host, std::u16string_view file, std::u16string_view mode,
                            std::u16string_view text) {
    const std::string path = ResolveScriptPath(host, file);
    const std::u16string shownPath = zorbit::Utf8ToUtf16(path);
    if (zorbit::ToLower(mode) == u"fileout") {
        WriteScriptFile(host, file, text);
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

bool WriteScriptFile(ScriptHost& host, std::u16string_view file, std::u16string_view text) {
    const std::string path = ResolveScriptPath(host, file);
    const int error = WriteTextFile(path, {text}, WriteMode::Replace, host.faults);
    if (error == 0) return true;
    host.batch.writeFailed = true;
    std::u16string message = u"Error 1: can't write the file.\r\n" + zorbit::Utf8ToUtf16(path);
    // A refusal says why; the other failures keep the usual message.
    if (error == EPERM || error == EACCES)
        message += u"\r\n(" + zorbit::Utf8ToUtf16(WriteErrorText(path, error)) + u")";
    MessageBox(host, kBoxTitle, message);
    return false;
}

FileArgs SplitFileArgs(std::u16string_view argument) {
    const std::u16string text = std::u16string(argument) + u" ";
    FileArgs args;
    args.input = std::u16string(Field(text, u' ', 1));
    args.output = std::u16string(StripBrackets(Field(text, u' ', 2)));
    return args;
}

} // namespace vex
