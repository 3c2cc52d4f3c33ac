#pragma once
// The two large texts of a run, kept without copies: the script's lines are read where
// the script is, and the report grows in pieces that are never moved.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vex {

// The fields of a script followed by CR LF, split at every CR, as the line loop reads
// them; found by walking forward from the field asked for last.
class ScriptLines {
  public:
    ScriptLines() = default;
    explicit ScriptLines(std::u16string_view script);
    // Number of fields.
    size_t size() const { return fields_; }
    // Number of CR LF pairs.
    size_t Pairs() const { return pairs_; }
    // Field i (0-based, below size()).
    std::u16string_view operator[](size_t i) const;

  private:
    std::u16string_view script_;
    size_t fields_ = 1;
    size_t pairs_ = 1;
    mutable size_t at_ = 0;     // the field found last
    mutable size_t offset_ = 0; // where it starts in script_
};

// The report of a run. Its pieces are mapped memory of their own, so growing the report
// never copies it, and handing it over gives each piece back as soon as it is copied.
class ReportBuffer {
  public:
    ReportBuffer() = default;
    ~ReportBuffer();
    ReportBuffer(const ReportBuffer&) = delete;
    ReportBuffer& operator=(const ReportBuffer&) = delete;

    ReportBuffer& append(std::u16string_view text);
    ReportBuffer& operator+=(std::u16string_view text) { return append(text); }
    size_t size() const { return size_; }
    bool EndsWith(std::u16string_view tail) const;
    void RemoveSuffix(size_t n);
    // The whole text, with capacity for `room` more characters; the buffer is empty after.
    std::u16string Take(size_t room);

  private:
    struct Piece {
        char16_t* data;
        size_t used;
    };
    void Release();

    std::vector<Piece> pieces_;
    size_t size_ = 0;
};

} // namespace vex
