// The matrix-entry window reaching up into the shell: refused.
#include "gridentry/grid_state.h"
#include "shell/window/main_window.h"
