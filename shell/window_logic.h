#pragma once
// The main window's rules that need no window: where the gadgets go on a resize, the
// width of the expression column, the decimals answer, the help line and the entry
// history. The window calls these; tests check them without a display.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vex {

struct GadgetRect {
    int32_t x = 0, y = 0, w = 0, h = 0;
    bool operator==(const GadgetRect&) const = default;
};

struct WindowLayout {
    GadgetRect info, list, entry, preview, help;
    int32_t exprWidth = 0; // width of the list's expression column
};

inline constexpr int32_t kInfoHeight = 18;
inline constexpr int32_t kEntryHeight = 22;
inline constexpr int32_t kHelpHeight = 30;
// The live result's line under the entry line, while it is shown.
inline constexpr int32_t kPreviewHeight = 18;
// The smallest client area in which every gadget keeps a usable size.
inline constexpr int32_t kMinWindowWidth = 200;
inline constexpr int32_t kMinWindowHeight = 200;

// The gadgets for a client area of width w and height h (below the menu bar): the entry
// line 54 and the help line 30 pixels above the bottom, the list between them and the
// information line. A live result line of previewHeight (0: none) goes under the entry
// line, which moves up by as much.
WindowLayout LayoutFor(int32_t w, int32_t h, int32_t numWidth, int32_t previewHeight = 0);
// Where the window opens: the stored rectangle when a screen shows enough of it to be
// grabbed, else 50 pixels into the primary screen (screens[0]); its size at least the
// minimum and at most its screen's. Screens are their available areas.
GadgetRect PlaceWindow(GadgetRect wanted, const std::vector<GadgetRect>& screens);
// Width of the expression column after a resize: ((w - numWidth - 4) / 4) * 4.
int32_t ExprWidthFor(int32_t w, int32_t numWidth);

// The decimals the whole program accepts: -1 (ten decimals) up to 30; past 30 a result
// only gets longer. The command line and the window refuse the rest with this text.
inline constexpr int32_t kMaxDecimals = 30;
inline constexpr char kDecimalsRange[] = "takes a whole number from -1 to 30";

// The decimals answer: "(" and ")" around it are dropped, the rest may hold only digits
// and ".", or be "-1"; empty gives 0. Nothing when the answer is not a number or has
// more than four digits; the caller refuses a number past kMaxDecimals.
std::optional<int32_t> DecimalsAnswer(std::u16string_view answer);

// The help entry for a command: the lower-cased first word of text looked up at the
// start of a line of the help text, up to the next empty line; nothing when no entry
// qualifies (or it does not end with an empty line).
std::optional<std::u16string> HelpEntry(std::u16string_view helpText, std::u16string_view text);

// The lines entered in this run, recalled with Up and Down: newest first, and the text
// being typed comes back below the newest.
class EntryHistory {
  public:
    explicit EntryHistory(size_t capacity = 1000) : capacity_(capacity) {}
    // A line was entered: it becomes the newest, and recall starts again from the bottom.
    void Add(std::u16string_view line);
    // Up: the next older line (typed is the entry line's text, kept when leaving it).
    std::optional<std::u16string> Older(std::u16string_view typed);
    // Down: the next newer line, or the text that was being typed below the newest.
    std::optional<std::u16string> Newer();
    size_t size() const { return lines_.size(); }
    // The lines, oldest first; Load adds lines kept from an earlier run, oldest first.
    const std::vector<std::u16string>& lines() const { return lines_; }
    void Load(const std::vector<std::u16string>& older);

  private:
    std::vector<std::u16string> lines_; // oldest first
    size_t capacity_;
    size_t position_ = 0; // == lines_.size() while the typed text is shown
    std::u16string typed_;
};

} // namespace vex
