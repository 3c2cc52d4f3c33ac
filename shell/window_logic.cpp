#include "shell/window_logic.h"

#include <algorithm>

#include "common/text.h"

namespace vex {

WindowLayout LayoutFor(int32_t w, int32_t h, int32_t numWidth, int32_t previewHeight) {
    WindowLayout l;
    l.info = {2, 2, w - 2, kInfoHeight};
    l.entry = {0, h - 54 - previewHeight, w - 2, kEntryHeight};
    l.preview = {2, l.entry.y + l.entry.h, w - 4, previewHeight};
    l.list = {0, l.info.y + l.info.h + 4, w - 2,
              h - l.info.y - l.info.h - kEntryHeight - kHelpHeight - 8 - previewHeight};
    l.help = {1, h - 30, w - 2, kHelpHeight};
    l.exprWidth = ExprWidthFor(w, numWidth);
    return l;
}

namespace {

int64_t Overlap(const GadgetRect& a, const GadgetRect& b, bool vertical) {
    const int64_t lo = vertical ? std::max(a.y, b.y) : std::max(a.x, b.x);
    const int64_t hi = vertical ? std::min(int64_t{a.y} + a.h, int64_t{b.y} + b.h)
                                : std::min(int64_t{a.x} + a.w, int64_t{b.x} + b.w);
    return std::max<int64_t>(hi - lo, 0);
}

} // namespace

GadgetRect PlaceWindow(GadgetRect wanted, const std::vector<GadgetRect>& screens) {
    if (screens.empty()) {
        wanted.w = std::max(wanted.w, kMinWindowWidth);
        wanted.h = std::max(wanted.h, kMinWindowHeight);
        return wanted;
    }
    // Enough to grab: 64 pixels of the top edge's width and 32 of its height.
    const GadgetRect* home = nullptr;
    for (const GadgetRect& s : screens) {
        const GadgetRect top{wanted.x, wanted.y, std::max(wanted.w, 1), 32};
        if (Overlap(top, s, false) >= std::min<int64_t>(64, top.w) && Overlap(top, s, true) >= 32) {
            home = &s;
            break;
        }
    }
    const GadgetRect& screen = home ? *home : screens.front();
    const auto fit = [](int32_t size, int32_t least, int32_t most) {
        return std::max(std::min(size, most), std::min(least, most));
    };
    GadgetRect placed = wanted;
    placed.w = fit(wanted.w, kMinWindowWidth, screen.w);
    placed.h = fit(wanted.h, kMinWindowHeight, screen.h);
    if (!home) {
        placed.x = screen.x + std::min(50, std::max(screen.w - placed.w, 0));
        placed.y = screen.y + std::min(50, std::max(screen.h - placed.h, 0));
    }
    return placed;
}

int32_t ExprWidthFor(int32_t w, int32_t numWidth) {
    const int64_t room = int64_t{w} - numWidth - 4;
    return static_cast<int32_t>(std::max<int64_t>(room / 4 * 4, 0));
}

std::optional<int32_t> DecimalsAnswer(std::u16string_view answer) {
    if (!answer.empty() && answer.front() == u'(') answer.remove_prefix(1);
    if (!answer.empty() && answer.back() == u')') answer.remove_suffix(1);
    if (answer == u"-1") return -1;
    if (answer.find_first_not_of(u"0123456789.") != answer.npos) return std::nullopt;
    // The integer value: digits up to the first "."; more than a few are not decimals.
    const std::u16string_view whole = answer.substr(0, answer.find(u'.'));
    int64_t value = 0;
    for (char16_t c : whole) {
        value = value * 10 + (c - u'0');
        if (value > 1000) return std::nullopt;
    }
    return static_cast<int32_t>(value);
}

std::optional<std::u16string> HelpEntry(std::u16string_view helpText, std::u16string_view text) {
    const std::u16string padded = std::u16string(text) + u" ";
    const std::u16string word = zorbit::ToLower(
        zorbit::TrimSpaces(std::u16string_view(padded).substr(0, padded.find(u' '))));
    if (word.empty()) return std::nullopt;
    for (size_t at = helpText.find(word); at != helpText.npos; at = helpText.find(word, at + 1)) {
        if (at != 0 && helpText[at - 1] != u'\n') continue;
        const std::u16string_view rest = helpText.substr(at);
        const size_t crlf = rest.find(u"\r\n\r\n"), lf = rest.find(u"\n\n");
        const size_t end = std::min(crlf, lf);
        if (end == rest.npos) return std::nullopt;
        std::u16string entry;
        for (char16_t c : rest.substr(0, end))
            if (c != u'\r') entry.push_back(c);
        return entry;
    }
    return std::nullopt;
}

void EntryHistory::Add(std::u16string_view line) {
    if (!line.empty() && (lines_.empty() || lines_.back() != line)) {
        lines_.emplace_back(line);
        if (lines_.size() > capacity_) lines_.erase(lines_.begin());
    }
    position_ = lines_.size();
    typed_.clear();
}

void EntryHistory::Load(const std::vector<std::u16string>& older) {
    for (const std::u16string& line : older)
        Add(line);
}

std::optional<std::u16string> EntryHistory::Older(std::u16string_view typed) {
    if (position_ == 0) return std::nullopt;
    if (position_ == lines_.size()) typed_ = typed;
    return lines_[--position_];
}

std::optional<std::u16string> EntryHistory::Newer() {
    if (position_ >= lines_.size()) return std::nullopt;
    return ++position_ == lines_.size() ? typed_ : lines_[position_];
}

} // namespace vex
