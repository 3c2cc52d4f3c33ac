#include "script/run_text.h"

#include <sys/mman.h>

#include <algorithm>
#include <new>

namespace vex {

namespace {

// Characters per report piece (1 MiB). Pieces are mapped directly rather than taken
// from the heap: a freed heap block need not go back to the system, a mapping does.
constexpr size_t kPieceChars = size_t{1} << 19;

// One piece kept mapped after a report ends: a line typed into the window makes a
// report of one piece, and mapping, faulting in and unmapping it cost more than the
// line itself. One thread runs reports.
struct SparePiece {
    char16_t* data = nullptr;
};
SparePiece& Spare() {
    static SparePiece spare;
    return spare;
}

char16_t* MapPiece() {
    if (char16_t* kept = Spare().data) {
        Spare().data = nullptr;
        return kept;
    }
    void* p = ::mmap(nullptr, kPieceChars * sizeof(char16_t), PROT_READ | PROT_WRITE,
                     MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED) throw std::bad_alloc();
    return static_cast<char16_t*>(p);
}

void UnmapPiece(char16_t* data) {
    if (!Spare().data) {
        Spare().data = data;
        return;
    }
    ::munmap(data, kPieceChars * sizeof(char16_t));
}

} // namespace

ScriptLines::ScriptLines(std::u16string_view script) : script_(script) {
    // The script is followed by CR LF: one more field and one more pair than it has.
    for (size_t i = 0; i < script.size(); ++i) {
        if (script[i] != u'\r') continue;
        ++fields_;
        if (i + 1 < script.size() && script[i + 1] == u'\n') ++pairs_;
    }
    ++fields_;
}

std::u16string_view ScriptLines::operator[](size_t i) const {
    // The last field is what follows the added CR.
    if (i + 1 == fields_) return u"\n";
    if (i < at_) at_ = 0, offset_ = 0;
    for (; at_ < i; ++at_)
        offset_ = script_.find(u'\r', offset_) + 1;
    const size_t end = script_.find(u'\r', offset_);
    return script_.substr(offset_, end == script_.npos ? script_.npos : end - offset_);
}

ReportBuffer::~ReportBuffer() {
    Release();
}

void ReportBuffer::Release() {
    for (const Piece& p : pieces_)
        UnmapPiece(p.data);
    pieces_.clear();
    size_ = 0;
}

ReportBuffer& ReportBuffer::append(std::u16string_view text) {
    while (!text.empty()) {
        if (pieces_.empty() || pieces_.back().used == kPieceChars) {
            pieces_.reserve(pieces_.size() + 1);
            pieces_.push_back(Piece{MapPiece(), 0});
        }
        Piece& p = pieces_.back();
        const size_t n = std::min(text.size(), kPieceChars - p.used);
        std::copy_n(text.data(), n, p.data + p.used);
        p.used += n;
        size_ += n;
        text.remove_prefix(n);
    }
    return *this;
}

bool ReportBuffer::EndsWith(std::u16string_view tail) const {
    if (tail.size() > size_) return false;
    auto piece = pieces_.rbegin();
    size_t at = piece == pieces_.rend() ? 0 : piece->used;
    for (size_t k = tail.size(); k-- > 0;) {
        while (at == 0) {
            ++piece;
            at = piece->used;
        }
        if (piece->data[--at] != tail[k]) return false;
    }
    return true;
}

void ReportBuffer::RemoveSuffix(size_t n) {
    n = std::min(n, size_);
    size_ -= n;
    while (n > 0) {
        Piece& p = pieces_.back();
        const size_t cut = std::min(n, p.used);
        p.used -= cut;
        n -= cut;
        if (p.used == 0) {
            UnmapPiece(p.data);
            pieces_.pop_back();
        }
    }
}

std::u16string ReportBuffer::Take(size_t room) {
    std::u16string text;
    text.reserve(size_ + room);
    for (Piece& p : pieces_) {
        text.append(p.data, p.used);
        UnmapPiece(p.data);
        p.data = nullptr;
        p.used = 0;
    }
    pieces_.clear();
    size_ = 0;
    return text;
}

} // namespace vex
