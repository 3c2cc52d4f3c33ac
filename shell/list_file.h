#pragma once
// Expression-list files (".vxc"): a "Columns: 1" line, then per list row its "#" text
// and its text on two lines. Written as UTF-8 with CR LF line ends. Opening keeps only
// the expressions: the list is rebuilt by evaluating them again.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "shell/expression_list.h"

namespace vex {

// Largest list file that is opened.
inline constexpr size_t kMaxListFileBytes = size_t{64} << 20;

// The file's text for these rows (rows with both columns empty are left out).
std::string FormatListFile(const std::vector<ListRow>& rows);

// The expressions of a list file, held in one text: a list of a million rows costs no
// allocation per row.
class ListExpressions {
  public:
    size_t size() const { return ends_.size(); }
    bool empty() const { return ends_.empty(); }
    std::u16string_view operator[](size_t k) const;
    void Add(std::u16string_view expression);
    // 8-bit text: UTF-8 when it is valid UTF-8, else Latin-1.
    void AddBytes(std::string_view line);
    void Reserve(size_t units) { text_.reserve(units); }
    void Clear();

  private:
    std::u16string text_;
    std::vector<uint32_t> ends_; // where each expression ends in text_
};

// Reads a list file's bytes in pieces of any size. Lines end with LF or CR LF, or, in a
// file whose header line ends with a CR alone, with CR, LF or CR LF. A byte-order mark
// chooses UTF-8 or UTF-16 (either order); without one, each line is UTF-8, or Latin-1
// when it is not valid UTF-8. The expressions are the lines after each line that begins
// with "E" but not "ERR"; the first line is the "Columns:" header.
class ListFileDecoder {
  public:
    // sizeHint: the file's size when known; the expressions get room for as many
    // characters as it can hold at most, so their text never grows by doubling.
    explicit ListFileDecoder(ListExpressions& out, size_t sizeHint = 0)
        : out_(out), sizeHint_(sizeHint) {}
    // False once the layout cannot be read (error() says why); later bytes are ignored.
    bool Feed(std::string_view bytes);
    // After the last bytes: false when the file cannot be read as a list.
    bool Finish();
    const std::string& error() const { return error_; }

  private:
    enum class Coding { Unknown, Bytes, Utf16Le, Utf16Be };
    enum class LineEnds { Unknown, Lf, Cr };
    // Characters kept of a line that is not an expression: enough for the header.
    static constexpr size_t kLineHead = 8;
    bool Fail(std::string why);
    bool Start(std::string_view head);
    bool FeedBytes(std::string_view bytes);
    bool FeedUtf16(std::string_view bytes);
    bool Unit(char16_t c);
    void Keep(char16_t c);
    bool EndLine();

    ListExpressions& out_;
    Coding coding_ = Coding::Unknown;
    LineEnds ends_ = LineEnds::Unknown; // decided by the header's line end
    std::string head_;                  // the first bytes, until the byte-order mark is known
    size_t sizeHint_;
    std::string line8_; // the line being read, as bytes or in UTF-16
    std::u16string line16_;
    size_t lineLength_ = 0;   // its length, also where only its head is kept
    bool hasOddByte_ = false; // UTF-16: one byte of a unit waits for its pair
    char oddByte_ = 0;
    bool afterCr_ = false;    // a CR ended the line: a LF right after it ends none
    bool heldCr_ = false;     // a CR that is text unless a LF follows
    size_t lineNo_ = 0;       // lines complete so far
    bool nextIsText_ = false; // the line before was an expression number
    size_t contentLines_ = 0; // non-empty lines after the header
    std::string error_;
};

// The expressions of a whole list file's bytes; empty when the layout cannot be read.
std::vector<std::u16string> ListFileExpressions(std::string_view bytes);

// Writes the rows to path through a temporary file beside it, so a failed save leaves
// the old file whole; false with error set on failure.
bool WriteListFile(const std::string& path, const std::vector<ListRow>& rows, std::string& error);
// Reads a list file's expressions; false with error set when it is not a regular file
// (a FIFO, socket or device is refused without being read), cannot be read, is larger
// than kMaxListFileBytes or its layout cannot be read. expressions is changed only on
// success.
bool ReadListFile(const std::string& path, ListExpressions& expressions, std::string& error);

} // namespace vex
