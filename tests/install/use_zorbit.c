/* A program built against the installed libzorbit: evaluates "2+3". */
#include <stdio.h>
#include <zorbit/zorbit.h>

int main(void) {
    static const char16_t expr[] = {'2', '+', '3', 0};
    double value = 0;
    const int32_t type = e_eval(expr, &value, 0);
    if (type != 0 || GetE_Error() != ZORBIT_NO_ERROR) {
        fprintf(stderr, "e_eval: result type %d, error %d\n", (int)type, (int)GetE_Error());
        return 1;
    }
    printf("%.4f\n", value);
    return 0;
}
