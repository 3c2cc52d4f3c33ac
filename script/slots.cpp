#include "script/slots.h"

namespace vex {

const std::array<SlotName, kSlotCount>& SlotNames() {
    static const std::array<SlotName, kSlotCount> names = {{
#define VEX_SLOT_NAME(group, name, type) {group, #name},
        VEX_ENTRY_SLOTS(VEX_SLOT_NAME)
#undef VEX_SLOT_NAME
    }};
    return names;
}

FnAny SlotByName(const EntrySlots& slots, std::string_view name) {
#define VEX_SLOT_FIND(group, name_, type)                                                          \
    if (name == #name_) return reinterpret_cast<FnAny>(slots.name_);
    VEX_ENTRY_SLOTS(VEX_SLOT_FIND)
#undef VEX_SLOT_FIND
    return nullptr;
}

} // namespace vex
