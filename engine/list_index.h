#pragma once
// An index beside a "name=value;" list text. The text stays the record (the exports hand
// it out as it is); the index only says where each entry starts and which entry a name
// belongs to, so that defining and looking up names does not scan the whole text.
// Entries are the pieces between the list's start and each ";". The index follows the
// text through the calls below and rebuilds itself when the text changed behind its back
// (its length is not the one indexed).

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace zorbit {

struct TextHash {
    using is_transparent = void;
    size_t operator()(std::u16string_view s) const noexcept {
        return std::hash<std::u16string_view>{}(s);
    }
};

class ListIndex {
  public:
    static constexpr size_t npos = std::u16string_view::npos;

    // Offset of the first entry of list whose text starts with key: the same answer as
    // searching key at the list's start and after every ";".
    size_t FindEntry(const std::u16string& list, std::u16string_view key);
    // The same for the key name + "=".
    size_t FindName(const std::u16string& list, std::u16string_view name);
    // Brings the index in step with list; done by every call, needed before list changes.
    void Sync(const std::u16string& list);
    // list grew at its end (entries, or a ";" closing the last one).
    void Appended(const std::u16string& list);
    // Text inside the entry holding offset at, after its name, changed length by delta
    // (no ";" came or went).
    void Resized(const std::u16string& list, size_t at, std::ptrdiff_t delta);
    void Cleared();
    // Raised by every change of the list the index learns of: a value derived from the
    // list stays valid while it holds.
    uint64_t Changes() const { return changes_; }
    // The number of ";" in list.
    size_t Semicolons(const std::u16string& list);

    // Entries in list order: start offsets and count.
    size_t Count(const std::u16string& list);
    size_t Start(size_t ordinal) const { return starts_[ordinal]; }
    // The entry's text without its ";".
    static std::u16string_view EntryText(const std::u16string& list, size_t start);

    // Custom functions: the entries whose name may occur in text as a whole name
    // (case-insensitive), appended to out when their position is at least from.
    void Candidates(const std::u16string& list, std::u16string_view text, size_t from,
                    bool withOthers, std::vector<uint32_t>& out);
    // Custom functions: the entries whose name starts with the identifier head (lower
    // case), in list order; null when none.
    const std::vector<uint32_t>* EntriesWithHead(const std::u16string& list,
                                                 std::u16string_view head);
    // Custom functions: the first entry whose name (the text before its first "=", or the
    // whole entry) occurs in another entry, npos when none. Functions with parameters
    // are left out: their names in other entries are calls.
    size_t FirstAmbiguous(const std::u16string& list);

  private:
    void IndexFrom(const std::u16string& list, size_t ordinal);
    void HeadsUpTo(const std::u16string& list);
    void CheckNewEntries(const std::u16string& list);

    std::unordered_map<std::u16string, uint32_t, TextHash, std::equal_to<>> first_;
    std::vector<size_t> starts_;
    size_t indexedSize_ = 0;
    size_t semicolons_ = 0;
    // Raised when entries already indexed may have changed: their names (layout_) or
    // their text (edits_). Appending raises neither.
    uint64_t layout_ = 0;
    uint64_t edits_ = 0;
    uint64_t changes_ = 0;

    // Names by their leading identifier, for Candidates.
    std::unordered_map<std::u16string, std::vector<uint32_t>, TextHash, std::equal_to<>> heads_;
    std::vector<uint32_t> others_; // names that do not start with a letter, digit or "_"
    size_t headsDone_ = 0;
    uint64_t headsLayout_ = ~uint64_t{0};

    // Names by length and hash, for FirstAmbiguous.
    struct LengthGroup {
        size_t length = 0;
        uint64_t power = 1; // kBase^length
        uint32_t last = 0;  // the latest entry with a name of this length
        std::unordered_map<uint64_t, std::vector<uint32_t>> byHash;
    };
    std::vector<LengthGroup> groups_;
    std::vector<std::u16string_view::size_type> nameLength_; // per entry, npos: no name
    size_t checkedDone_ = 0;
    size_t firstAmbiguous_ = npos;
    uint64_t checkedEdits_ = ~uint64_t{0};
};

} // namespace zorbit
