#include "shell/list_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

#include "common/text.h"
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

std::u16string_view ListExpressions::operator[](size_t k) const {
    const size_t begin = k == 0 ? 0 : ends_[k - 1];
    return std::u16string_view(text_).substr(begin, ends_[k] - begin);
}

void ListExpressions::Add(std::u16string_view expression) {
    if (text_.size() + expression.size() > UINT32_MAX)
        throw std::length_error("list expressions past 4 Gi characters");
    text_.append(expression);
    ends_.push_back(static_cast<uint32_t>(text_.size()));
}

void ListExpressions::AddBytes(std::string_view line) {
    if (text_.size() + line.size() > UINT32_MAX)
        throw std::length_error("list expressions past 4 Gi characters");
    if (zorbit::IsValidUtf8(line)) {
        text_ += zorbit::Utf8ToUtf16(line);
    } else {
        for (char c : line)
            text_.push_back(static_cast<unsigned char>(c));
    }
    ends_.push_back(static_cast<uint32_t>(text_.size()));
}

void ListExpressions::Clear() {
    std::u16string().swap(text_);
    std::vector<uint32_t>().swap(ends_);
}

bool ListFileDecoder::Fail(std::string why) {
    if (error_.empty()) error_ = std::move(why);
    return false;
}

// The byte-order mark decides how the rest is read; UTF-32 is refused (a list never
// holds it, and read as bytes it would give NULs between the characters).
bool ListFileDecoder::Start(std::string_view head) {
    if (head.starts_with(std::string_view("\xFF\xFE\0\0", 4)) ||
        head.starts_with(std::string_view("\0\0\xFE\xFF", 4)))
        return Fail("the file is UTF-32, which a list is never written in");
    if (head.starts_with("\xEF\xBB\xBF")) {
        coding_ = Coding::Bytes;
        out_.Reserve(sizeHint_);
        return FeedBytes(head.substr(3));
    }
    if (head.starts_with("\xFF\xFE") || head.starts_with("\xFE\xFF")) {
        coding_ = head[0] == '\xFF' ? Coding::Utf16Le : Coding::Utf16Be;
        out_.Reserve(sizeHint_ / 2);
        return FeedUtf16(head.substr(2));
    }
    coding_ = Coding::Bytes;
    out_.Reserve(sizeHint_);
    return FeedBytes(head);
}

bool ListFileDecoder::Feed(std::string_view bytes) {
    if (!error_.empty()) return false;
    if (coding_ == Coding::Unknown) {
        // Four bytes tell every mark apart.
        const size_t take = std::min(bytes.size(), 4 - head_.size());
        head_.append(bytes.substr(0, take));
        bytes.remove_prefix(take);
        if (head_.size() < 4) return true;
        if (!Start(head_)) return false;
        std::string().swap(head_);
    }
    return coding_ == Coding::Bytes ? FeedBytes(bytes) : FeedUtf16(bytes);
}

bool ListFileDecoder::FeedBytes(std::string_view bytes) {
    for (const char c : bytes) {
        if (c == '\0')
            return Fail("the file holds NUL bytes: it is not a text list (a UTF-16 list needs "
                        "its byte-order mark)");
        if (!Unit(static_cast<unsigned char>(c))) return false;
    }
    return true;
}

bool ListFileDecoder::FeedUtf16(std::string_view bytes) {
    const bool little = coding_ == Coding::Utf16Le;
    const auto unit = [little](char a, char b) {
        const auto lo = static_cast<unsigned char>(little ? a : b);
        const auto hi = static_cast<unsigned char>(little ? b : a);
        return static_cast<char16_t>(lo | hi << 8);
    };
    for (const char c : bytes) {
        if (!hasOddByte_) {
            hasOddByte_ = true;
            oddByte_ = c;
            continue;
        }
        hasOddByte_ = false;
        const char16_t u = unit(oddByte_, c);
        if (u == u'\0') return Fail("the file holds NUL characters: it is not a text list");
        if (!Unit(u)) return false;
    }
    return true;
}

// One character of either coding. The header's line end tells how lines end: after a
// CR alone (a file whose line ends were turned into CRs) CR, LF and CR LF all end a
// line; after LF or CR LF a CR that is not followed by LF belongs to the text, and the
// entry line takes it as it takes any line break it is given.
bool ListFileDecoder::Unit(char16_t c) {
    if (afterCr_) {
        afterCr_ = false;
        if (ends_ == LineEnds::Unknown) ends_ = c == u'\n' ? LineEnds::Lf : LineEnds::Cr;
        if (c == u'\n') return true; // the LF of a CR LF that ended the line
    }
    if (heldCr_) {
        heldCr_ = false;
        if (c == u'\n') return EndLine();
        Keep(u'\r');
    }
    if (c == u'\n') {
        if (ends_ == LineEnds::Unknown) ends_ = LineEnds::Lf;
        return EndLine();
    }
    if (c == u'\r') {
        if (ends_ == LineEnds::Lf) {
            heldCr_ = true;
            return true;
        }
        afterCr_ = true;
        return EndLine();
    }
    Keep(c);
    return true;
}

void ListFileDecoder::Keep(char16_t c) {
    ++lineLength_;
    const bool bytes = coding_ == Coding::Bytes;
    // Of a line that is not kept, the first characters tell what it is.
    if (!nextIsText_ && (bytes ? line8_.size() : line16_.size()) >= kLineHead) return;
    if (bytes)
        line8_.push_back(static_cast<char>(c));
    else
        line16_.push_back(c);
}

bool ListFileDecoder::EndLine() {
    const size_t n = lineNo_++;
    const size_t length = lineLength_;
    lineLength_ = 0;
    const bool bytes = coding_ == Coding::Bytes;
    const auto at = [&](size_t k) -> char16_t {
        if (bytes) return k < line8_.size() ? static_cast<unsigned char>(line8_[k]) : u'\0';
        return k < line16_.size() ? line16_[k] : u'\0';
    };
    bool ok = true;
    if (n == 0) {
        // The "Columns:" header does not change how rows are read, but a file without it
        // is not a list.
        constexpr std::u16string_view kHeader = u"Columns:";
        for (size_t k = 0; k < kHeader.size() && ok; ++k)
            ok = at(k) == kHeader[k];
        if (!ok) Fail("the first line is not the \"Columns: 1\" line of a list");
    } else {
        if (length > 0) ++contentLines_;
        if (nextIsText_) {
            nextIsText_ = false;
            if (bytes)
                out_.AddBytes(line8_);
            else
                out_.Add(line16_);
        } else {
            nextIsText_ = at(0) == u'E' && !(at(1) == u'R' && at(2) == u'R');
        }
    }
    line8_.clear();
    line16_.clear();
    return ok;
}

bool ListFileDecoder::Finish() {
    if (!error_.empty()) return false;
    if (coding_ == Coding::Unknown) {
        if (!Start(head_)) return false;
        std::string().swap(head_);
    }
    if (hasOddByte_) return Fail("the file ends inside a UTF-16 character");
    // A CR held at the end ends the last line as a CR LF would.
    heldCr_ = false;
    if (lineLength_ > 0 && !EndLine()) return false;
    std::string().swap(line8_);
    std::u16string().swap(line16_);
    // Text that holds no expression row is not a list this program wrote: opening it as
    // an empty list would let the next save replace what was never read.
    if (out_.empty() && contentLines_ > 0)
        return Fail("no expression rows were found (a list holds lines \"E1\", \"E2\", ... "
                    "each followed by its expression)");
    return true;
}

std::vector<std::u16string> ListFileExpressions(std::string_view bytes) {
    ListExpressions expressions;
    ListFileDecoder decoder(expressions);
    if (!decoder.Feed(bytes) || !decoder.Finish()) return {};
    std::vector<std::u16string> out;
    for (size_t k = 0; k < expressions.size(); ++k)
        out.emplace_back(expressions[k]);
    return out;
}

bool WriteListFile(const std::string& path, const std::vector<ListRow>& rows, std::string& error) {
    const std::u16string text = zorbit::Utf8ToUtf16(FormatListFile(rows));
    const int err = WriteTextFile(path, {text}, WriteMode::Replace);
    if (err == 0) return true;
    error = std::strerror(err);
    return false;
}

namespace {

class Descriptor {
  public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

  private:
    int fd_;
};

// A FIFO would wait for a writer, a device may never end: only regular files are lists.
bool RegularFile(const struct stat& st, std::string& error) {
    if (S_ISREG(st.st_mode)) return true;
    error = S_ISDIR(st.st_mode)    ? "it is a folder"
            : S_ISFIFO(st.st_mode) ? "it is a FIFO, not a regular file"
            : S_ISSOCK(st.st_mode) ? "it is a socket, not a regular file"
                                   : "it is a device, not a regular file";
    return false;
}

} // namespace

bool ReadListFile(const std::string& path, ListExpressions& expressions, std::string& error) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        error = std::strerror(errno);
        return false;
    }
    if (!RegularFile(st, error)) return false;
    // Non-blocking, so that a FIFO put in the file's place since cannot hold the open.
    const Descriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (fd.get() < 0 || ::fstat(fd.get(), &st) != 0) {
        error = std::strerror(errno);
        return false;
    }
    if (!RegularFile(st, error)) return false;
    if (static_cast<uint64_t>(st.st_size) > kMaxListFileBytes) {
        error = "the file is larger than 64 MiB";
        return false;
    }
    ListExpressions read;
    ListFileDecoder decoder(read, static_cast<size_t>(st.st_size));
    std::string buffer(size_t{1} << 20, '\0');
    size_t total = 0;
    for (;;) {
        const ssize_t n = ::read(fd.get(), buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            error = std::strerror(errno);
            return false;
        }
        if (n == 0) break;
        total += static_cast<size_t>(n);
        if (total > kMaxListFileBytes) {
            error = "the file is larger than 64 MiB";
            return false;
        }
        if (!decoder.Feed(std::string_view(buffer.data(), static_cast<size_t>(n)))) break;
    }
    if (!decoder.Finish()) {
        error = decoder.error();
        return false;
    }
    expressions = std::move(read);
    return true;
}

} // namespace vex
