// An export file with one export outside guarded(): the check must name it.
ZORBIT_API int32_t Guarded(void) {
    return guarded([] { return int32_t{0}; });
}
ZORBIT_API int32_t Bypass(void) {
    return Engine().eval.ResultType;
}
