#include "derive/diff_state.h"

namespace zorbit {} // namespace zorbit
