// The plot reaching up into the shell: refused; the interpreter below it is not.
#include "plot/plot_math.h"
#include "script/plot_args.h"
#include "shell/config.h"
