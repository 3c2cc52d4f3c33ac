// An engine source reaching up into the matrix layer: the check must refuse it.
#include "matrix/store.h"
