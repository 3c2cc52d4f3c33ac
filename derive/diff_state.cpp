#include "derive/diff_state.h"

namespace zorbit {

DiffState& Diff() {
    static DiffState state;
    return state;
}

void ResetDiffState() {
    Diff() = DiffState{};
}

} // namespace zorbit
