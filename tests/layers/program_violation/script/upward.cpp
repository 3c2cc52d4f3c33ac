// The interpreter reaching up into the program's front ends: the check must refuse each.
#include "gridentry/grid_state.h"
#include "plot/plot_math.h"
#include "script/slots.h"
#include "shell/entry.h"
