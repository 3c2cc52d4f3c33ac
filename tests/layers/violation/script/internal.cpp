// A program source reaching into the engine past the public header.
#include "engine/state.h"
