#include "engine/list_index.h"

#include <algorithm>

#include "common/text.h"
#include "engine/variables.h"

namespace zorbit {

namespace {

constexpr uint64_t kBase = 0x9E3779B97F4A7C15ull; // odd: every power stays invertible
constexpr size_t kFewNewEntries = 8;

uint64_t HashOf(std::u16string_view s) {
    uint64_t h = 0;
    for (char16_t c : s)
        h = h * kBase + c;
    return h;
}

// The plain search the index stands in for.
size_t ScanEntry(std::u16string_view list, std::u16string_view key) {
    size_t p = 0;
    while ((p = list.find(key, p)) != std::u16string_view::npos) {
        if (p == 0 || list[p - 1] == u';') return p;
        ++p;
    }
    return std::u16string_view::npos;
}

} // namespace

std::u16string_view ListIndex::EntryText(const std::u16string& list, size_t start) {
    const size_t end = list.find(u';', start);
    return std::u16string_view(list).substr(start, end == npos ? npos : end - start);
}

void ListIndex::Sync(const std::u16string& list) {
    if (list.size() == indexedSize_) return;
    Cleared();
    IndexFrom(list, 0);
}

void ListIndex::IndexFrom(const std::u16string& list, size_t from) {
    const std::u16string_view text = list;
    size_t p = from;
    while (p < text.size()) {
        size_t end = text.find(u';', p);
        if (end == npos) end = text.size();
        const uint32_t ordinal = static_cast<uint32_t>(starts_.size());
        starts_.push_back(p);
        const std::u16string_view entry = text.substr(p, end - p);
        const size_t eq = entry.find(u'=');
        if (eq != npos) {
            const std::u16string_view name = entry.substr(0, eq);
            if (first_.find(name) == first_.end()) first_.emplace(name, ordinal);
        }
        if (end < text.size()) ++semicolons_;
        p = end + 1;
    }
    indexedSize_ = text.size();
}

void ListIndex::Appended(const std::u16string& list) {
    ++changes_;
    // An entry left open at the end now goes on: its name may have changed.
    if (list.size() < indexedSize_ || (indexedSize_ > 0 && list[indexedSize_ - 1] != u';')) {
        Cleared();
        IndexFrom(list, 0);
        return;
    }
    IndexFrom(list, indexedSize_);
}

void ListIndex::Resized(const std::u16string& list, size_t at, std::ptrdiff_t delta) {
    ++edits_;
    ++changes_;
    const size_t expected = indexedSize_ + static_cast<size_t>(delta);
    if (list.size() != expected || starts_.empty()) {
        Cleared();
        IndexFrom(list, 0);
        return;
    }
    auto later = std::upper_bound(starts_.begin(), starts_.end(), at);
    for (; later != starts_.end(); ++later)
        *later += static_cast<size_t>(delta);
    indexedSize_ = expected;
}

void ListIndex::Cleared() {
    first_.clear();
    starts_.clear();
    indexedSize_ = 0;
    semicolons_ = 0;
    ++layout_;
    ++edits_;
    ++changes_;
}

size_t ListIndex::FindEntry(const std::u16string& list, std::u16string_view key) {
    Sync(list);
    if (key.empty() || key.back() != u'=') return ScanEntry(list, key);
    const std::u16string_view name = key.substr(0, key.size() - 1);
    // A name holding "=" or ";" would reach into another entry's text: only a scan knows.
    if (name.find_first_of(u"=;") != npos) return ScanEntry(list, key);
    return FindName(list, name);
}

size_t ListIndex::FindName(const std::u16string& list, std::u16string_view name) {
    Sync(list);
    if (name.find_first_of(u"=;") != npos) return ScanEntry(list, std::u16string(name) + u'=');
    const auto it = first_.find(name);
    return it == first_.end() ? npos : starts_[it->second];
}

size_t ListIndex::Semicolons(const std::u16string& list) {
    Sync(list);
    return semicolons_;
}

size_t ListIndex::Count(const std::u16string& list) {
    Sync(list);
    return starts_.size();
}

void ListIndex::HeadsUpTo(const std::u16string& list) {
    if (headsLayout_ != layout_) {
        heads_.clear();
        others_.clear();
        headsDone_ = 0;
        headsLayout_ = layout_;
    }
    std::u16string head;
    for (size_t k = headsDone_; k < starts_.size(); ++k) {
        const std::u16string_view entry = EntryText(list, starts_[k]);
        const size_t eq = entry.find(u'=');
        if (eq == npos || eq == 0) continue; // never expanded
        const uint32_t ordinal = static_cast<uint32_t>(k);
        if (!IsIdentChar(entry[0])) {
            others_.push_back(ordinal);
            continue;
        }
        head.clear();
        for (size_t i = 0; i < eq && IsIdentChar(entry[i]); ++i)
            head += LowerChar(entry[i]);
        heads_[head].push_back(ordinal);
    }
    headsDone_ = starts_.size();
}

void ListIndex::Candidates(const std::u16string& list, std::u16string_view text, size_t from,
                           bool withOthers, std::vector<uint32_t>& out) {
    Sync(list);
    HeadsUpTo(list);
    if (withOthers)
        for (uint32_t k : others_)
            if (k >= from) out.push_back(k);
    if (heads_.empty()) return;
    // A whole-name occurrence of a name that starts like an identifier begins a run of
    // identifier characters in the text, and that run is exactly the name's leading
    // identifier: the next character of the name, if any, is no identifier character.
    std::u16string run;
    for (size_t i = 0; i < text.size();) {
        if (!IsIdentChar(text[i])) {
            ++i;
            continue;
        }
        run.clear();
        for (; i < text.size() && IsIdentChar(text[i]); ++i)
            run += LowerChar(text[i]);
        const auto it = heads_.find(run);
        if (it == heads_.end()) continue;
        for (uint32_t k : it->second)
            if (k >= from) out.push_back(k);
    }
}

const std::vector<uint32_t>* ListIndex::EntriesWithHead(const std::u16string& list,
                                                        std::u16string_view head) {
    Sync(list);
    HeadsUpTo(list);
    const auto it = heads_.find(head);
    return it == heads_.end() ? nullptr : &it->second;
}

size_t ListIndex::FirstAmbiguous(const std::u16string& list) {
    Sync(list);
    if (checkedEdits_ != edits_) {
        groups_.clear();
        nameLength_.clear();
        checkedDone_ = 0;
        firstAmbiguous_ = npos;
        checkedEdits_ = edits_;
    }
    if (checkedDone_ < starts_.size()) CheckNewEntries(list);
    return firstAmbiguous_;
}

// Entries from checkedDone_ on are new: their names are looked for in the text of the
// entries before them, and every name in their own text. Names are found by a rolling
// hash per name length and compared in full on a hit.
void ListIndex::CheckNewEntries(const std::u16string& list) {
    const size_t from = checkedDone_, to = starts_.size();
    FunctionSignature signature;
    auto nameOf = [&](size_t k) {
        return std::u16string_view(list).substr(starts_[k], nameLength_[k]);
    };
    for (size_t k = from; k < to; ++k) {
        const std::u16string_view entry = EntryText(list, starts_[k]);
        std::u16string_view name = entry.substr(0, entry.find(u'='));
        // A function with parameters is called, not substituted by its name: its name in
        // another entry is a call, no clash.
        if (ParseSignature(name, &signature)) name = {};
        nameLength_.push_back(name.empty() ? npos : name.size());
        if (name.empty()) continue;
        auto g = std::find_if(groups_.begin(), groups_.end(),
                              [&](const LengthGroup& x) { return x.length == name.size(); });
        if (g == groups_.end()) {
            LengthGroup fresh;
            fresh.length = name.size();
            for (size_t i = 0; i < name.size(); ++i)
                fresh.power *= kBase;
            groups_.push_back(std::move(fresh));
            g = groups_.end() - 1;
        }
        g->byHash[HashOf(name)].push_back(static_cast<uint32_t>(k));
        g->last = static_cast<uint32_t>(k);
    }
    // Every window of text that is a name of an entry other than `self` and at least
    // `minimum` marks that entry.
    auto scan = [&](std::u16string_view text, const LengthGroup& g, size_t self, size_t minimum) {
        const size_t len = g.length;
        if (text.size() < len) return;
        uint64_t h = HashOf(text.substr(0, len));
        for (size_t i = 0;; ++i) {
            const auto hit = g.byHash.find(h);
            if (hit != g.byHash.end()) {
                for (uint32_t j : hit->second)
                    if (j != self && j >= minimum && j < firstAmbiguous_ &&
                        nameOf(j) == text.substr(i, len))
                        firstAmbiguous_ = j;
            }
            if (i + len >= text.size()) break;
            h = h * kBase + text[i + len] - g.power * text[i];
        }
    };
    if (from > 0) {
        const std::u16string_view before = std::u16string_view(list).substr(0, starts_[from]);
        if (to - from <= kFewNewEntries) {
            // A name or two, as after each definition: a plain search is quicker.
            for (size_t k = from; k < to && k < firstAmbiguous_; ++k)
                if (nameLength_[k] != npos && before.find(nameOf(k)) != npos) firstAmbiguous_ = k;
        } else {
            for (const LengthGroup& g : groups_)
                if (g.last >= from) scan(before, g, npos, from);
        }
    }
    for (size_t k = from; k < to; ++k) {
        const std::u16string_view entry = EntryText(list, starts_[k]);
        for (const LengthGroup& g : groups_)
            scan(entry, g, k, 0);
    }
    checkedDone_ = to;
}

} // namespace zorbit
