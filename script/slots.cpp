#include "script/slots.h"

#include <algorithm>

namespace vex {

const std::array<SlotName, kSlotCount>& SlotNames() {
    static const std::array<SlotName, kSlotCount> names = {{
#define VEX_SLOT_NAME(group, name, type) {group, #name},
        VEX_ENTRY_SLOTS(VEX_SLOT_NAME)
#undef VEX_SLOT_NAME
    }};
    return names;
}

namespace {

struct NamedSlot {
    std::string_view name;
    FnAny (*read)(const EntrySlots&);
};

// Every slot by name, sorted: the client asks before its calls, so a lookup is a binary
// search rather than a walk past every name.
const std::array<NamedSlot, kSlotCount>& SortedSlots() {
    static const std::array<NamedSlot, kSlotCount> sorted = [] {
        std::array<NamedSlot, kSlotCount> t = {{
#define VEX_SLOT_READ(group, name_, type)                                                          \
    {#name_, [](const EntrySlots& s) { return reinterpret_cast<FnAny>(s.name_); }},
            VEX_ENTRY_SLOTS(VEX_SLOT_READ)
#undef VEX_SLOT_READ
        }};
        std::sort(t.begin(), t.end(),
                  [](const NamedSlot& a, const NamedSlot& b) { return a.name < b.name; });
        return t;
    }();
    return sorted;
}

} // namespace

FnAny SlotByName(const EntrySlots& slots, std::string_view name) {
    const auto& table = SortedSlots();
    const auto it = std::lower_bound(
        table.begin(), table.end(), name,
        [](const NamedSlot& slot, std::string_view key) { return slot.name < key; });
    if (it == table.end() || it->name != name) return nullptr;
    return it->read(slots);
}

} // namespace vex
