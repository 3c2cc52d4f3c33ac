/* The public header is usable from C: it compiles as C99 and its names resolve. */
#include "zorbit/zorbit.h"

int main(void) {
    ZorbitMessageBoxFn box = 0;
    int32_t (*eval)(const char16_t*, double*, int32_t) = &e_eval;
    return (box == 0 && eval != 0) ? 0 : 1;
}
