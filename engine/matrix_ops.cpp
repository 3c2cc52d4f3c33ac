#include "engine/matrix_ops.h"

#include "engine/errors.h"

namespace zorbit {

namespace {

double NoMatrix() {
    E_Error() = ZORBIT_E_MATRIX_NOT_FOUND;
    ReportError(u"e_prs", 0, u"No matrices in this build\r\n");
    return ZORBIT_E_MATRIX_NOT_FOUND;
}
double NoReference(std::u16string_view, char16_t) {
    return NoMatrix();
}
double NoOperation(char16_t, double, double, uint8_t*, uint8_t) {
    return NoMatrix();
}
double NoFunction(std::u16string_view, double, double, double, uint8_t*, uint8_t, uint8_t) {
    return NoMatrix();
}
void NoScratch(double) {}
void NoList() {}
bool NoElements(double) {
    return false;
}

} // namespace

const MatrixOperations& NoMatrixOperations() {
    static const MatrixOperations ops{&NoReference, &NoOperation, &NoOperation, &NoFunction,
                                      &NoScratch,   &NoScratch,   &NoList,      &NoElements};
    return ops;
}

} // namespace zorbit
